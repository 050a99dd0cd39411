// Writing driver settings with their previous values: one list choice, a
// stored profile, the factory defaults and the user defaults; and giving the
// previous values back.
#pragma once

#include <string>

#include "driver/driver_plan.h"
#include "store/registry_handle.h"
#include "store/setting_catalogue.h"

namespace tw {

class DriverSettings {
 public:
  DriverSettings(const SettingCatalogue& catalogue, RegistryHandle& programRegistry,
                 RegistryHandle& driverRegistry, const std::string& driverKey);

  // An index outside the setting's list (the FSAA list before the card
  // model is known) writes nothing.
  void ApplyChoice(SettingKind kind, int number, int choice);
  // `runDirect`: a command-line run, which must not create the profile's keys.
  // A part-way failure is given back, as in a run (ApplyRunPlan).
  void ApplyProfileSettings(const std::string& profile, bool runDirect);
  void ResetToFactoryDefaults();
  void ResetToUserDefaults();
  // Swaps every driver value with its "Prev " value by its class's rule. The
  // display mode is the caller's (see Launcher::RestorePreviousSettings).
  void RestorePreviousValues();

  // The same two operations in two steps: the writes worked out from what
  // the driver and the profile hold now (nothing written), then carried
  // out. A plan carried out twice leaves what once does.
  DriverPlan PlanProfileSettings(const std::string& profile, bool runDirect);
  DriverPlan PlanRestore();
  void ApplyPlan(const DriverPlan& plan);
  // A run's plan. When a write fails part-way, every value written is put
  // back as it was, and the driver's hive written to disk, before the error
  // goes on; `givenBack` turns false when even that failed, so the driver
  // may not hold its state before.
  void ApplyRunPlan(const DriverPlan& plan, bool& givenBack);
  // Writes the driver's hive to disk now. One the system will not write
  // now its lazy writer writes later: there is nothing better to do.
  void Flush();

  // The same settings on another adapter key (which must outlive it).
  DriverSettings At(const std::string& adapterKey) const;
  const std::string& AdapterKey() const { return driverKey_; }
  RegistryHandle& DriverRegistry() const { return driverRegistry_; }
  bool AdapterExists(const std::string& adapterKey);

  // For a watched run: what the values `plan` changes hold now (their text,
  // or absent), as writes that put them back. Only reads. `withRecords`:
  // their "Prev " values too, for a run that gives back everything it wrote.
  DriverPlan PlanPriorState(const DriverPlan& plan, bool withRecords = false);
  // The restore after a watched run: each value the run changed back to its
  // state in `prior`, their "Prev " values as a swap leaves them, and
  // nothing else touched.
  DriverPlan PlanRestoreTo(const DriverPlan& prior);

 private:
  // Carries out `plan`; with `undo`, also the writes that put back each
  // value written.
  void Carry(const DriverPlan& plan, DriverPlan* undo);

  const SettingCatalogue& catalogue_;
  RegistryHandle& programRegistry_;
  RegistryHandle& driverRegistry_;
  const std::string& driverKey_;
};

}  // namespace tw
