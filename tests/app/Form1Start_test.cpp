// The first showing of the main window.
#include <QTest>
#include <algorithm>

#include "FEJpeg.h"
#include "GradProgress.h"
#include "RunLabel.h"
#include "SkinWriter.h"
#include "WindowTest.h"

namespace {

TEST_F(WindowTest, FirstShowLoadsTheSkinAndItsColoursOnce) {
  WriteSkin(SkinFolder("DEFAULT"), QColor(10, 20, 30));
  WriteText(SkinFolder("DEFAULT") + "Colors.ini", "[Colors]\nHighTEXT=255\n");
  form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(form->Sfondo->Picture().pixelColor(5, 5), QColor(10, 20, 30));
  EXPECT_EQ(form->CDlbl->FontColor(), 255);
  EXPECT_EQ(form->PosBar->Position(), 400);
  EXPECT_EQ(form->VolBar->toolTip(), "Volume: 50%");
  const std::vector<FakeXaudioCommand> commands = engine.Commands();
  EXPECT_TRUE(std::any_of(commands.begin(), commands.end(), [](const FakeXaudioCommand& c) {
    return c.Code == XA_MSG_SET_CODEC_QUALITY && c.Ints == std::vector<int>{0};
  }));

  // The title labels start their runs once the window is up.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !form->FirstStart; }, 5000));
  EXPECT_TRUE(form->CDlbl->Running());

  // Later shows load nothing again.
  form->hide();
  WriteSkin(SkinFolder("DEFAULT"), QColor(200, 20, 30));
  form->show();
  EXPECT_EQ(form->Sfondo->Picture().pixelColor(5, 5), QColor(10, 20, 30));
}

}  // namespace
