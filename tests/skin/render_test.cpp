#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <QScrollBar>

#include "list_host.h"
#include "platform/dialog/resources.h"
#include "skin/skin_progress.h"

// Writes pictures of the skinned list and progress bar, drawn with the
// program's own bitmaps, into $OSTREL_SKIN_PNG_DIR for a person to look at.
// Skipped when the variable is not set.
TEST(SkinRender, WritesPictures) {
  const QString dir = qEnvironmentVariable("OSTREL_SKIN_PNG_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "set OSTREL_SKIN_PNG_DIR to write the pictures";
  QDir().mkpath(dir);
  {
    skin_test::ListHost host(12);
    ASSERT_TRUE(host.Create());
    host.show();
    host.list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    const QRect area = host.list.geometry().united(host.list.VerticalBar().geometry())
                           .united(host.list.HorizontalBar().geometry())
                           .adjusted(-8, -8, 8, 8);
    EXPECT_TRUE(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list.png"));
    host.list.verticalScrollBar()->setValue(host.list.GetScrollLimit(SB_VERT));
    host.list.horizontalScrollBar()->setValue(40);
    EXPECT_TRUE(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list_scrolled.png"));
  }
  {
    skin_test::ListHost host(2, /*wide=*/false);
    ASSERT_TRUE(host.Create());
    host.show();
    const QRect area = host.list.geometry().united(host.list.VerticalBar().geometry())
                           .united(host.list.HorizontalBar().geometry())
                           .adjusted(-8, -8, 8, 8);
    EXPECT_TRUE(host.grab(area).scaled(area.size() * 3).save(dir + "/skin_list_disabled.png"));
  }
  {
    CSkinProgress bar;
    bar.resize(300, 16);
    bar.SetRange(1, 100);
    bar.SetPos(40);
    EXPECT_TRUE(bar.grab().save(dir + "/skin_progress.png"));
  }
}
