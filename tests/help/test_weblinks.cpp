#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"
#include "help/uHelpPanels.h"
#include "help/uHtmlView.h"
#include "help/uWebLinks.h"
#include "platform/uShell.h"

namespace {

// Replaces the desktop's opener for one test: records every target and answers `result`.
struct TOpenRecorder {
  explicit TOpenRecorder(bool result = true) {
    SetShellOpener([this, result](const QString& t) {
      Opened << t;
      CursorWhileOpening = QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
      return result;
    });
  }
  ~TOpenRecorder() { SetShellOpener(nullptr); }
  QStringList Opened;
  Qt::CursorShape CursorWhileOpening = Qt::ArrowCursor;
};

struct TLinkCase {
  const char* Target;
  TLinkRoute Route;
};

class LinkTargetTest : public ::testing::TestWithParam<TLinkCase> {};

// The promotion panel's handler: what reaches the opener, and whether the view may follow it.
TEST_P(LinkTargetTest, GoesToBrowserPanelOrNowhere) {
  const TLinkCase c = GetParam();
  const QString target = QString::fromUtf8(c.Target);
  EXPECT_EQ(RouteForLinkTarget(target), c.Route);
  TOpenRecorder opener;
  QWidget window;
  THelpPanels panels(&window);
  bool handled = false;
  panels.HTMLViewerWerbungHotSpotClick(panels.HTMLViewerWerbung(), target, handled);
  switch (c.Route) {
    case TLinkRoute::Browser:
      EXPECT_TRUE(handled);
      EXPECT_EQ(opener.Opened, QStringList{target.trimmed()});
      break;
    case TLinkRoute::Panel:
      EXPECT_FALSE(handled);
      EXPECT_TRUE(opener.Opened.isEmpty());
      break;
    case TLinkRoute::Nothing:
      EXPECT_TRUE(handled) << "the view must not follow it either";
      EXPECT_TRUE(opener.Opened.isEmpty());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LinkTargetTest,
    ::testing::Values(TLinkCase{"http://www.kalno.de/angebot.htm", TLinkRoute::Browser},
                      TLinkCase{"HTTP://WWW.KALNO.DE/", TLinkRoute::Browser},
                      TLinkCase{"https://www.kalno.de/formulare", TLinkRoute::Browser},
                      TLinkCase{"HtTpS://kalno.de", TLinkRoute::Browser},
                      TLinkCase{"angebot.htm", TLinkRoute::Panel},
                      TLinkCase{"unter/seite.htm#mitte", TLinkRoute::Panel},
                      TLinkCase{"#oben", TLinkRoute::Panel},
                      TLinkCase{"file:///etc/passwd", TLinkRoute::Nothing},
                      TLinkCase{"FILE:c:/windows/system32/calc.exe", TLinkRoute::Nothing},
                      TLinkCase{"javascript:alert(1)", TLinkRoute::Nothing},
                      TLinkCase{"mailto:info@kalno.de", TLinkRoute::Nothing},
                      TLinkCase{"httpx://www.kalno.de/", TLinkRoute::Nothing},
                      TLinkCase{"http-evil:payload", TLinkRoute::Nothing},
                      TLinkCase{"data:text/html,<b>x</b>", TLinkRoute::Nothing},
                      TLinkCase{"http:kein-host", TLinkRoute::Nothing},
                      TLinkCase{"c:\\programme\\x.exe", TLinkRoute::Nothing}));

TEST(OpenURL, OpensWithTheHourGlassAndReportsNothingOnSuccess) {
  TScriptedDialogs dialogs;
  TOpenRecorder opener(true);
  EXPECT_TRUE(OpenURL(QStringLiteral("https://www.kalno.de/")));
  EXPECT_EQ(opener.Opened, QStringList{QStringLiteral("https://www.kalno.de/")});
  EXPECT_EQ(opener.CursorWhileOpening, Qt::WaitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST(OpenURL, FailureIsAPlainMessageAndTheCursorComesBack) {
  TScriptedDialogs dialogs;
  TOpenRecorder opener(false);
  EXPECT_FALSE(OpenURL(QStringLiteral("https://www.kalno.de/")));
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Plain);
  EXPECT_EQ(dialogs.Messages[0].Buttons, TDialogButtons(dbOk));
  EXPECT_EQ(dialogs.Messages[0].Text, QStringLiteral("Der Internet-Browser konnte nicht geöffnet werden"));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(OpenURL, SomethingOtherThanAWebAddressNeverReachesTheDesktop) {
  TScriptedDialogs dialogs;
  TOpenRecorder opener(true);
  EXPECT_FALSE(OpenURL(QStringLiteral("file:///bin/sh")));
  EXPECT_TRUE(opener.Opened.isEmpty());
  EXPECT_EQ(dialogs.Messages.size(), 1u);
}

TEST(OpenURL, TheThreeFixedCommandsOpenTheMakersAddresses) {
  TScriptedDialogs dialogs;
  TOpenRecorder opener(true);
  QWidget window;
  THelpPanels panels(&window);
  panels.btnHandbuchClick();
  panels.btnKALNOHomepageClick();
  panels.smKALNOProdukteClick();
  EXPECT_EQ(opener.Opened, (QStringList{QStringLiteral("https://www.kalno.de/manual.pdf"),
                                        QStringLiteral("https://www.kalno.de/"),
                                        QStringLiteral("https://www.kalno.de/formulare")}));
  EXPECT_TRUE(dialogs.Messages.empty());
}

// A link in the promotion page that fails to open says nothing.
TEST(PromotionLinks, FailingBrowserIsSilent) {
  TScriptedDialogs dialogs;
  TOpenRecorder opener(false);
  QWidget window;
  THelpPanels panels(&window);
  bool handled = false;
  panels.HTMLViewerWerbungHotSpotClick(nullptr, QStringLiteral("https://www.kalno.de/"), handled);
  EXPECT_TRUE(handled);
  EXPECT_EQ(opener.Opened.size(), 1);
  EXPECT_TRUE(dialogs.Messages.empty());
}

}  // namespace
