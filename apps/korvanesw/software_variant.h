#pragma once
// korvanesw's side of the build seam: its frames go through the software
// rasteriser, with the display code that only this program has.
#include "game/build_variant.h"

class SoftwareVariant : public BuildVariant {
 public:
  BuildKind Kind() const override { return BuildKind::Software; }
  const char* ProgramName() const override { return "korvanesw"; }
  int InitDisplay(CInterface& ui) override;
  bool EnterFullScreen(CInterface& ui, int mode) override;
  void MenuOpening(CInterface& ui, bool initial, bool withTransition) override;
  bool PrepareMenuDisplay(CInterface& ui) override;
  void RestoreGameDisplay(CInterface& ui) override;
  void FadeOutBeforeLoad(CInterface& ui) override;
  void FrameShown(CInterface& ui) override;
  void CreditsOpening(CInterface& ui) override;
  void CreditsClosed(CInterface& ui) override;
  void Quitting(CInterface& ui) override;
  void VideoOpened(CInterface& ui) override;
  void VideoClosed(CInterface& ui, bool endingCredits) override;
  void DrawCrosshair(CNetView& view) override;
  void ProgramEnding(CInterface& ui) override;
  void LoadCockpitPicture(CNetView& view) override;
  void DrawCockpit(CNetView& view) override;
  void DrawHands(CNetView& view, int steering) override;
  void ShowPanel(CNetView& view, int left, int top, int right, int bottom) override;
};
