#include "driver/direct_fsaa.h"

namespace tw {

namespace {

constexpr int kFsaaSetting = 3;  // SSTH3_SLI_AA_CONFIGURATION in both groups

}  // namespace

int DirectFsaaChoice(DirectFsaaItem item, int cardModel) {
  const bool known = cardModel == 4500 || cardModel == 5500 || cardModel == 6000;
  // The 4500 has no single-chip mode at the head of its list.
  const int shift = cardModel == 4500 ? 0 : 1;
  switch (item) {
    case DirectFsaaItem::SingleChip:
      return 0;
    case DirectFsaaItem::Fastest:
      return known ? shift : -1;
    case DirectFsaaItem::Fsaa2x:
      return known ? shift + 1 : -1;
    case DirectFsaaItem::Fsaa4x:
      return 3;
    case DirectFsaaItem::Fsaa8x:
      return 4;
  }
  return -1;
}

bool DirectFsaaItemShown(DirectFsaaItem item, int cardModel) {
  switch (item) {
    case DirectFsaaItem::SingleChip:
    case DirectFsaaItem::Fsaa4x:
      return cardModel != 4500;
    case DirectFsaaItem::Fsaa8x:
      return cardModel != 4500 && cardModel != 5500;
    case DirectFsaaItem::Fastest:
    case DirectFsaaItem::Fsaa2x:
      return true;
  }
  return true;
}

void ApplyDirectFsaa(DriverSettings& driver, DirectFsaaItem item, int cardModel) {
  const int choice = DirectFsaaChoice(item, cardModel);
  if (choice < 0) return;
  driver.ApplyChoice(SettingKind::Direct3D, kFsaaSetting, choice);
  driver.ApplyChoice(SettingKind::Glide, kFsaaSetting, choice);
}

}  // namespace tw
