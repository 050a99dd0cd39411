# The compiler's runtime pieces the shipped programs link, built again for
# the Pentium and K6. The cross compiler's runtime is built for the Pentium
# Pro, and these pieces hold its instructions (cmov): the start-up code
# (crt2.o), the unwinder (libgcc_eh's unwind-dw2.o) and the C++ exception
# routines (libstdc++'s eh_personality.o, eh_terminate.o, eh_catch.o). Each is
# compiled from the exact sources of the installed runtime with the flags its
# own build used, -march=i586 added, and linked in place of the shipped one.
# A second build of each without -march is kept for the test that compares
# it, section by section, with the shipped piece (scripts/check-runtime-rebuild.sh).
# Sets I586_RUNTIME_OBJECTS (to link), I586_STARTFILE_DIR (for -B) and
# I586_LIBSUPCXX_DIR (the runtime's internal headers).
#
# The sources come unpacked from two archives scripts/install-prereqs.sh
# provides: GCC's of the compiler's own version (the gcc-N-source package)
# and mingw-w64's of the installed headers' version (Debian's source package).
enable_language(C)
set(runtime_dir ${CMAKE_BINARY_DIR}/i586-runtime)
set(source_dir ${runtime_dir}/src)
file(MAKE_DIRECTORY ${source_dir} ${runtime_dir}/i586 ${runtime_dir}/reference)

# Debian's cross compiler reports its version as 12.0.0 ("12-win32"); the
# package gives the full one (checked by the comparison test).
string(REGEX MATCH "^[0-9]+" gcc_major ${CMAKE_CXX_COMPILER_VERSION})
file(GLOB gcc_tarball /usr/src/gcc-${gcc_major}/gcc-${gcc_major}.*-dfsg.tar.xz)
if(NOT gcc_tarball)
  set(gcc_tarball /usr/src/gcc-${gcc_major}/gcc-${gcc_major}.x.y-dfsg.tar.xz)
endif()
string(REGEX REPLACE ".*/(gcc-[0-9.]+)-dfsg.tar.xz$" "\\1" gcc_top "${gcc_tarball}")
file(STRINGS /usr/i686-w64-mingw32/include/_mingw_mac.h mingw_version_lines
  REGEX "#define __MINGW64_VERSION_(MAJOR|MINOR|BUGFIX) ")
string(REGEX REPLACE "[^;]* ([0-9]+);[^;]* ([0-9]+);[^;]* ([0-9]+)" "\\1.\\2.\\3" mingw_version
  "${mingw_version_lines}")
set(mingw_tarball /usr/src/mingw-w64/mingw-w64_${mingw_version}.orig.tar.bz2)
set(mingw_top mingw-w64-v${mingw_version})
foreach(tarball ${gcc_tarball} ${mingw_tarball})
  if(NOT EXISTS ${tarball})
    message(FATAL_ERROR "${tarball} is missing: run scripts/install-prereqs.sh")
  endif()
endforeach()

# Only the files the five pieces need (the compilers' -MM lists).
set(gcc_members
  gcc/coretypes.h gcc/tsystem.h
  include/ansidecl.h include/dwarf2.def include/dwarf2.h include/filenames.h include/hashtab.h
  libgcc/gthr.h libgcc/unwind-dw2-fde.h libgcc/unwind-dw2.c libgcc/unwind-dw2.h libgcc/unwind-pe.h
  libgcc/unwind.inc libgcc/config/i386/w32-unwind.h libgcc/config/i386/gthr-win32.h
  libstdc++-v3/libsupc++/cxxabi.h libstdc++-v3/libsupc++/eh_catch.cc
  libstdc++-v3/libsupc++/eh_personality.cc libstdc++-v3/libsupc++/eh_term_handler.h
  libstdc++-v3/libsupc++/eh_terminate.cc libstdc++-v3/libsupc++/exception
  libstdc++-v3/libsupc++/eh_throw.cc libstdc++-v3/libsupc++/eh_atomics.h
  libstdc++-v3/libsupc++/typeinfo libstdc++-v3/libsupc++/unwind-cxx.h)
set(mingw_members
  mingw-w64-crt/crt/crtexe.c mingw-w64-crt/include/internal.h
  mingw-w64-crt/include/oscalls.h mingw-w64-crt/include/sect_attribs.h)

function(unpack tarball top out_var)
  set(members "")
  set(outputs "")
  foreach(member ${ARGN})
    list(APPEND members ${top}/${member})
    list(APPEND outputs ${source_dir}/${member})
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND tar -xf ${tarball} -C ${source_dir} --strip-components=1 --touch ${members}
    DEPENDS ${tarball}
    COMMENT "Unpacking the runtime's sources from ${tarball}")
  set(${out_var} ${outputs} PARENT_SCOPE)
endfunction()
unpack(${gcc_tarball} ${gcc_top} gcc_sources ${gcc_members})
unpack(${mingw_tarball} ${mingw_top} mingw_sources ${mingw_members})
set(I586_LIBSUPCXX_DIR ${source_dir}/libstdc++-v3/libsupc++)

# How each piece's own build compiled it (libgcc's and libstdc++'s makefiles,
# mingw-w64-crt's with Debian's flags).
set(libgcc_flags -O2 -fbuilding-libgcc -fno-stack-protector -fexceptions -DIN_LIBGCC2
  -I ${CMAKE_SOURCE_DIR}/cmake/libgcc-config -I ${source_dir}/libgcc -I ${source_dir}/gcc
  -I ${source_dir}/include)
set(libsupcxx_flags -O2 -ffunction-sections -fdata-sections -fno-implicit-templates -std=gnu++17
  -I ${I586_LIBSUPCXX_DIR} -I ${source_dir}/libgcc)
set(crt_flags -O2 -D_CRTBLD -D_WIN32_WINNT=0x0f00 -D__MSVCRT_VERSION__=0x700
  -D__USE_MINGW_ANSI_STDIO=0 -I ${source_dir}/mingw-w64-crt/include)

# name | compiler | flags | source | shipped in (archive, or the file itself)
# [kinds: i586 and reference unless given]
set(I586_RUNTIME_OBJECTS "")
set(manifest "")
function(runtime_piece name compiler flags source shipped)
  set(kinds ${ARGN})
  if(NOT kinds)
    set(kinds i586 reference)
  endif()
  set(built "")
  foreach(kind ${kinds})
    set(object ${runtime_dir}/${kind}/${name}.o)
    set(arch "")
    if(kind STREQUAL "i586")
      set(arch -march=i586)
    endif()
    add_custom_command(OUTPUT ${object}
      COMMAND ${compiler} ${arch} ${${flags}} -MD -MF ${object}.d -c ${source_dir}/${source} -o ${object}
      DEPENDS ${source_dir}/${source}
      DEPFILE ${object}.d
      COMMENT "Runtime piece ${name}.o (${kind})"
      VERBATIM)
    list(APPEND built ${object})
  endforeach()
  set(pieces ${pieces} ${built} PARENT_SCOPE)
  set(manifest "${manifest}${name}.o ${shipped}\n" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=libgcc_eh.a
  OUTPUT_VARIABLE libgcc_eh OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++.a
  OUTPUT_VARIABLE libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=crt2.o
  OUTPUT_VARIABLE crt2 OUTPUT_STRIP_TRAILING_WHITESPACE)
set(pieces "")
runtime_piece(crt2 ${CMAKE_C_COMPILER} crt_flags mingw-w64-crt/crt/crtexe.c ${crt2})
runtime_piece(unwind-dw2 ${CMAKE_C_COMPILER} libgcc_flags libgcc/unwind-dw2.c ${libgcc_eh})
foreach(name eh_personality eh_terminate eh_catch)
  runtime_piece(${name} ${CMAKE_CXX_COMPILER} libsupcxx_flags libstdc++-v3/libsupc++/${name}.cc ${libstdcxx})
endforeach()
# The shipped throw (no cmov in it) finds the header in front of a thrown
# object by that header's size. Compared only: the same header as the one it
# was built with, which the exception memory sizes its blocks by.
runtime_piece(eh_throw ${CMAKE_CXX_COMPILER} libsupcxx_flags libstdc++-v3/libsupc++/eh_throw.cc
  ${libstdcxx} reference)
file(WRITE ${runtime_dir}/pieces.txt "${manifest}")

# The start-up code is no object of the link line: the compiler driver adds
# crt2.o, found first in a folder given with -B.
set(I586_STARTFILE_DIR ${runtime_dir}/i586)
foreach(name unwind-dw2 eh_personality eh_terminate eh_catch)
  list(APPEND I586_RUNTIME_OBJECTS ${runtime_dir}/i586/${name}.o)
endforeach()
# One target owns the steps; the programs wait for it (add_dependencies).
add_custom_target(i586_runtime DEPENDS ${pieces})
