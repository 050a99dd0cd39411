#include "shell/startup.h"
#include "store/profile_store.h"
#include "store/registry_error.h"

namespace tw {

namespace {

bool IsCardModel(int model) { return model == 4500 || model == 5500 || model == 6000; }

}  // namespace

void ApplyCardModel(int model, SettingCatalogue& catalogue, RegistryHandle& programRegistry,
                    StartupState& state, StartupView& view) {
  if (!IsCardModel(model)) return;
  state.cardModel = model;
  catalogue.FillFsaaLists(model);
  view.CardModelApplied(model);
  ScopedKey key(programRegistry, kProgramKey, true);
  programRegistry.WriteInteger(kVoodooTypeValue, model);
}

void ReadCardModel(SettingCatalogue& catalogue, RegistryHandle& programRegistry,
                   StartupState& state, StartupView& view) {
  bool stored = false;
  {
    ScopedKey key(programRegistry, kProgramKey, true);
    // Asking again because the key would not open would replace a stored model.
    if (!key) throw RegistryError::GetFailed(kVoodooTypeValue);
    // A model stored as anything but an integer (a hand-made .reg file) is
    // asked again and stored properly, rather than ending every start.
    stored = programRegistry.HasInteger(kVoodooTypeValue);
    if (stored) state.cardModel = programRegistry.ReadInteger(kVoodooTypeValue);
  }
  if (!stored) {
    // The key stays closed while the dialog runs its own message loop, so
    // nothing handled there can find the handle busy.
    view.AskCardModel(state.cardModel);
    ScopedKey key(programRegistry, kProgramKey, true);
    programRegistry.WriteInteger(kVoodooTypeValue, state.cardModel);
  }
  ApplyCardModel(state.cardModel, catalogue, programRegistry, state, view);
}

}  // namespace tw
