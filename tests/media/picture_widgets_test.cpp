// The picture widgets: button states and their hit test, the slider's knob
// position, the picture list, the text box, the cockpit animations and the
// plain rectangles.
#include <gtest/gtest.h>

#include <climits>

#include "engine/records.h"
#include "media/interface_display.h"
#include "media/overlay_bitmaps.h"
#include "media/picture_anim.h"
#include "media/picture_button.h"
#include "media/picture_list.h"
#include "media/rect8.h"
#include "media/text_box.h"
#include "platform/clock.h"
#include "platform/crt_random.h"
#include "tests/media/picture_fixture.h"

namespace {

// State picture s of a widget is a flat w x h picture of colour 60 + s.
class WidgetTest : public PictureTest {
 protected:
  void AddStates(const std::string& prefix, int count, int w, int h, const char* extension = "bmp") {
    for (int s = 0; s < count; ++s) {
      AddPicture(prefix + std::to_string(s) + "." + extension, MakePicture(w, h, [s](int, int) { return 60 + s; }));
    }
  }
};

}  // namespace

TEST_F(WidgetTest, AButtonsStateFollowsTheMouseTheLatchAndTheDisabledFlag) {
  AddStates("btn", 4, 20, 10);
  CPictureButton button;
  button.Load(5, 6, "btn", ArchivePath().c_str());
  EXPECT_EQ(button.GetRight(), 25);
  EXPECT_EQ(button.GetBottom(), 16);
  EXPECT_EQ(button.GetState(), -1);
  struct Case {
    bool disabled, latched;
    int mouseX, mouseY;
    bool mouseDown;
    int state;
  };
  const Case cases[] = {
      {false, false, 10, 10, false, 2}, {false, false, 10, 10, true, 3}, {false, false, 40, 10, true, 1},
      {false, false, 5, 10, false, 1},  // on the left edge: not inside (strictly)
      {false, false, 6, 7, false, 2},   {false, false, 24, 15, false, 2}, {false, false, 25, 10, false, 1},
      {false, false, 10, 16, false, 1}, {false, true, 40, 10, false, 3},  {false, true, 10, 10, false, 2},
      {true, false, 10, 10, true, 0},   {true, true, 40, 10, false, 0},
  };
  for (const Case& c : cases) {
    button.Reset();
    button.SetDisabled(c.disabled);
    button.SetLatch(c.latched);
    button.SetMouse(c.mouseX, c.mouseY);
    EXPECT_EQ(button.HitTest(), !c.disabled && c.state >= 2 && c.mouseX < 25) << c.mouseX << "," << c.mouseY;
    ClearTarget();
    EXPECT_TRUE(button.SetState(c.mouseDown));
    EXPECT_EQ(button.GetState(), c.state) << c.mouseX << "," << c.mouseY;
    EXPECT_EQ(At(5, 6), 60 + c.state) << "the new state is drawn";
    ClearTarget();
    EXPECT_FALSE(button.SetState(c.mouseDown)) << "no change, nothing drawn";
    EXPECT_EQ(At(5, 6), kBackground);
  }
}

TEST_F(WidgetTest, AButtonNotDrawnYetTakesItsRestingState) {
  AddStates("btn", 4, 20, 10);
  CPictureButton button;
  button.Load(0, 0, "btn", ArchivePath().c_str());
  button.Draw();
  EXPECT_EQ(button.GetState(), 1);
  button.Reset();
  button.SetLatch(true);
  button.Draw();
  EXPECT_EQ(button.GetState(), 3);
  EXPECT_EQ(At(0, 0), 63);
  button.Reset();  // the latch goes with it
  button.SetDisabled(true);
  button.Draw();
  EXPECT_EQ(button.GetState(), 0);
}

TEST_F(WidgetTest, TheSlidersKnobFollowsTheMouseAcrossItsWidth) {
  UseTarget(200, 40);
  AddStates("sli", 10, 126, 8);
  CPictureSlider slider;
  slider.Load(10, 20, "sli", ArchivePath().c_str());
  struct Case {
    int mouseX;
    int position;
  };
  // (mouse - left - 3) x 10 / 120, clamped to 0..9.
  for (const Case c : {Case{13, 0}, Case{11, 0}, Case{24, 0}, Case{25, 1}, Case{73, 5}, Case{133, 9}, Case{135, 9}}) {
    slider.SetMouse(c.mouseX, 24);
    slider.SetState(true);
    EXPECT_EQ(slider.GetState(), c.position) << c.mouseX;
  }
  EXPECT_EQ(At(10, 20), 69) << "position 9 drawn";
  slider.SetMouse(13, 24);
  EXPECT_FALSE(slider.SetState(false)) << "only while the mouse is down";
  EXPECT_EQ(slider.GetState(), 9);
  slider.SetFraction(0.0f);
  EXPECT_EQ(slider.GetState(), 0);
  slider.SetFraction(0.5f);
  EXPECT_EQ(slider.GetState(), 4);
  slider.SetFraction(1.0f);
  EXPECT_EQ(slider.GetState(), 9);
  EXPECT_FLOAT_EQ(slider.GetFraction(), 1.0f);
  slider.SetFraction(1.7f);  // a volume above 1 from the settings
  EXPECT_EQ(slider.GetState(), 9);
}

TEST_F(WidgetTest, ASliderSixPixelsWideOrLessDoesNotDivideByZero) {
  for (int width : {6, 5, 3}) {
    const std::string prefix = "narrow" + std::to_string(width) + "_";
    AddStates(prefix, 10, width, 4);
    CPictureSlider slider;
    slider.Load(0, 0, prefix.c_str(), ArchivePath().c_str());
    for (int x = 1; x < width; ++x) {
      slider.SetMouse(x, 2);
      slider.SetState(true);
      EXPECT_GE(slider.GetState(), 0);
      EXPECT_LE(slider.GetState(), 9);
    }
  }
}

TEST_F(WidgetTest, APictureListIsHitOnlyOverItsFirstPicture) {
  AddStates("son", 4, 12, 8, "BMP");
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  CPictureList list(20, 10, "son", 2);
  EXPECT_EQ(list.GetRight(), 32) << "the picture's own width, not times the prefix length";
  EXPECT_EQ(list.GetBottom(), 18);
  list.SetMouse(40, 12);
  EXPECT_FALSE(list.HitTest());
  list.Draw();
  EXPECT_EQ(At(20, 10), 60);  // choice 0
  list.SetMouse(25, 12);
  EXPECT_TRUE(list.HitTest());
  list.Draw();
  EXPECT_EQ(At(20, 10), 61);  // choice 0 under the mouse
  list.Cycle();
  EXPECT_EQ(list.GetCurrent(), 1);
  list.Draw();
  EXPECT_EQ(At(20, 10), 63);
  list.Cycle();
  EXPECT_EQ(list.GetCurrent(), 0);
  list.SetCurrent(7);
  EXPECT_EQ(list.GetCurrent(), 1);
  list.SetCurrent(-3);
  EXPECT_EQ(list.GetCurrent(), 0);
}

TEST_F(WidgetTest, ATextBoxFramesItselfUnderTheMouseAndErasesTheFrameOtherwise) {
  // "FONT_MD.BMP" from "INTERFC.CAN" in the current folder: 65 cells of 8 x 6.
  AddPicture("FONT_MD.BMP", MakePicture(520, 6, [](int x, int) { return x / 8 == 0 ? kPictureColourKey : 30; }));
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  g_BlackColour = 2;
  CTextBox box(10, 10, " on ");
  for (int i = 1; i < 40; ++i) box.AddText(i % 2 ? " off" : " on ");
  box.SetCurrent(100);
  EXPECT_EQ(box.GetCurrent(), CTextBox::kMaxTexts - 1);
  box.SetCurrent(0);
  box.SetMouse(12, 12);
  box.Draw();
  EXPECT_EQ(At(9, 9), 237);
  EXPECT_EQ(At(10 + 32, 10 + 6), 237);
  EXPECT_EQ(At(19, 10), 30);  // "o"
  EXPECT_EQ(At(10, 10), kPictureColourKey) << "opaque: the blank's key pixels too";
  box.SetMouse(42, 12);  // the right edge: outside
  box.Draw();
  EXPECT_EQ(At(9, 9), 2);
  EXPECT_EQ(At(42, 16), 2);
  box.Cycle();
  EXPECT_EQ(box.GetCurrent(), 0) << "the mouse is not on it";
}

TEST_F(WidgetTest, AnAnimationChangesFrameEvery100To300MsAndDrawsEachChangeTwice) {
  AddStates("pan", 2, 6, 4);
  AddPicture("pan3.bmp", MakePicture(6, 4, [](int, int) { return 70; }));
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  CPictureAnim anim;
  anim.Load(30, 20, "pan", nullptr, nullptr);
  EXPECT_EQ(anim.GetFrameCount(), 3);
  CrtSrand(1);
  ClockSetTime(5000);
  anim.Update();  // a stored 0: change at once
  EXPECT_EQ(anim.GetCurrentFrame(), 1);
  EXPECT_EQ(At(30, 20), 61);
  ClearTarget();
  anim.Update();
  EXPECT_EQ(At(30, 20), 61) << "drawn once more";
  ClearTarget();
  anim.Update();
  EXPECT_EQ(At(30, 20), kBackground) << "then nothing";
  ClockSetTime(5099);
  anim.Update();
  EXPECT_EQ(anim.GetCurrentFrame(), 1) << "not before 100 ms";
  ClockSetTime(5301);
  anim.Update();
  EXPECT_EQ(anim.GetCurrentFrame(), 2);
  EXPECT_EQ(At(30, 20), 70);
  ClockSetTime(5602);
  anim.Update();
  EXPECT_EQ(anim.GetCurrentFrame(), 0) << "back to the first after the last";
}

TEST_F(WidgetTest, AnAnimationsTimerIsRightAcrossTheClocksWrap) {
  AddStates("pan", 2, 6, 4);
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  CPictureAnim anim;
  anim.Load(0, 0, "pan", nullptr, nullptr);
  ClockSetTime(0xFFFFFFF0u);
  anim.Update();  // the next change lies past the wrap
  EXPECT_EQ(anim.GetCurrentFrame(), 1);
  ClockSetTime(0xFFFFFFFAu);
  anim.Update();
  anim.Update();
  EXPECT_EQ(anim.GetCurrentFrame(), 1) << "a wrapped change time is still ahead";
  ClockSetTime(0x200u);
  anim.Update();
  EXPECT_EQ(anim.GetCurrentFrame(), 0);
}

TEST_F(WidgetTest, WithOverlaysTheFramesTakeTheNextSlots) {
  AddStates("dash", 3, 6, 4);
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  PictureOverlayBitmaps overlays;
  OverlayBitmapsInstall(&overlays);
  CPictureAnim anim;
  int nextSlot = 12;
  anim.Load(0, 0, "dash", nullptr, &nextSlot);
  OverlayBitmapsInstall(nullptr);
  EXPECT_EQ(nextSlot, 15);
  EXPECT_EQ(anim.GetOverlaySlot(0), 12);
  EXPECT_EQ(anim.GetOverlaySlot(2), 14);
  ASSERT_NE(overlays.Slot(13), nullptr);
  EXPECT_EQ(overlays.Slot(13)->PixelAt(0, 0), 61);
  EXPECT_EQ(overlays.Slot(15), nullptr);
  EXPECT_FALSE(overlays.Load(PictureOverlayBitmaps::kSlots, "dash0.bmp", "INTERFC.CAN"));
  EXPECT_FALSE(overlays.Load(-1, "dash0.bmp", "INTERFC.CAN"));
}

TEST_F(WidgetTest, AnAnimationWithoutASingleFrameIsFatal) {
  archive_.AddMember("OTHER", {1});
  archive_.WriteFile(temp_.Join("INTERFC.CAN"));
  ScopedCurrentFolder folder(temp_.Path());
  CPictureAnim anim;
  EXPECT_EQ(FatalLineOf([&] { anim.Load(0, 0, "nothing", nullptr, nullptr); }), 885);
}

TEST_F(WidgetTest, RectanglesPutTheirCornersInOrderAndClip) {
  UseTarget(64, 48);
  FillRect8(50, 40, 10, 20, 7);  // columns 10..49, rows 20..39
  EXPECT_EQ(At(10, 20), 7);
  EXPECT_EQ(At(49, 39), 7);
  EXPECT_EQ(At(50, 39), kBackground);
  EXPECT_EQ(At(49, 40), kBackground);
  EXPECT_EQ(At(9, 20), kBackground);
  FillRect8(-5, -5, 700, 500, 8);
  EXPECT_EQ(At(0, 0), 8);
  EXPECT_EQ(At(63, 47), 8);
  ClearTarget();
  struct Rect {
    int x1, y1, x2, y2;
  };
  for (const Rect r : {Rect{70, 10, 80, 20}, Rect{10, 50, 20, 60}, Rect{-30, 10, -20, 20}, Rect{10, -30, 20, -20},
                       Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Rect{INT_MAX, 0, INT_MIN, 5}, Rect{5, 5, 5, 9}}) {
    FillRect8(r.x1, r.y1, r.x2, r.y2, 9);
    FrameRect8(r.x1, r.y1, r.x2, r.y2, 9);
    ASSERT_TRUE(GuardIntact()) << r.x1 << "," << r.y1 << "," << r.x2 << "," << r.y2;
  }
  ClearTarget();
  FrameRect8(30, 25, 10, 5, 4);  // reversed: columns 10..29, rows 5..24
  EXPECT_EQ(At(10, 5), 4);
  EXPECT_EQ(At(29, 5), 4);
  EXPECT_EQ(At(10, 24), 4);
  EXPECT_EQ(At(29, 24), 4);
  EXPECT_EQ(At(20, 5), 4);
  EXPECT_EQ(At(20, 15), kBackground) << "inside stays";
  EXPECT_EQ(At(30, 15), kBackground);
  ClearTarget();
  FrameRect8(-1, -1, 65, 49, 4);  // every edge just outside: nothing drawn
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) ASSERT_EQ(At(x, y), kBackground) << x << "," << y;
  FrameRect8(-10, 10, 20, 30, 5);  // the left edge is off the target
  EXPECT_EQ(At(0, 20), kBackground);
  EXPECT_EQ(At(19, 20), 5);
  EXPECT_EQ(At(0, 10), 5);
  EXPECT_TRUE(GuardIntact());
}
