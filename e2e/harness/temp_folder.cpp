#include "harness/temp_folder.h"

#include <windows.h>

namespace e2e {

std::string TempFolder() {
  char folder[MAX_PATH] = {};
  GetTempPathA(sizeof folder, folder);
  return folder;
}

}  // namespace e2e
