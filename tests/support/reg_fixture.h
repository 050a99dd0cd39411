// The .reg fixtures of e2e/fixtures planted into the in-memory registry, so
// the native tests and the Wine tests start from the same driver layouts.
#pragma once

#include <functional>
#include <string>

#include "platform/fake/fake_registry.h"

namespace tw {

constexpr const char* kWin98StockFixture = "win98-3dfx-stock.reg";
constexpr const char* kWin2000StockFixture = "win2000-3dfx-stock.reg";
// The driver keys the stock fixtures hold, below HKEY_LOCAL_MACHINE.
constexpr const char* kWin98StockDriverKey = "System\\CurrentControlSet\\Services\\Class\\Display\\0001\\";
constexpr const char* kWin2000StockDriverKey = "System\\CurrentControlSet\\Services\\3dfxvs\\Device0\\";

// Applies a fixture file: [-key] removes a tree, [key] creates one, values
// are written with their types. Fails the test on a file it cannot read.
void PlantRegFixture(FakeRegistry& registry, const std::string& fileName);

// Which values of a key a dump shows, by name.
using ValueFilter = std::function<bool(const std::string& name)>;

// Every key below `path` with every value `shown` lets through (type and
// bytes), one line each, in a fixed order.
std::string DumpTree(const FakeRegistry& registry, RootKey root, const std::string& path,
                     const ValueFilter& shown = nullptr);

}  // namespace tw
