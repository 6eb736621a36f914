#include <gtest/gtest.h>

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "help/FInfoFensterKALNO.h"
#include "help/uFileInfo.h"
#include "platform/uShell.h"
#include "uVersion.h"

namespace {
// A file whose version block we choose.
class TFakeFileInfo : public TFileInfo {
 public:
  TFakeFileInfo(const QString& path, QByteArray block) : TFileInfo(path), block_(std::move(block)) { ReadVersionInfo(path); }

 protected:
  QByteArray LoadVersionBlock(const QString&) override { return block_; }

 private:
  QByteArray block_;
};

quint32 Hi(unsigned a, unsigned b) { return (quint32(a) << 16) | b; }

struct TVersionCase {
  unsigned major, minor, release, build;
  const char* line;
};
class VersionLines : public ::testing::TestWithParam<TVersionCase> {};
}  // namespace

TEST_P(VersionLines, ModuloAndFormat) {
  const TVersionCase c = GetParam();
  EXPECT_EQ(VersionLine(TProjVersion::FromParts(c.major, c.minor, c.release, c.build)), QString::fromLatin1(c.line));
}

INSTANTIATE_TEST_SUITE_P(Table, VersionLines,
                         ::testing::Values(TVersionCase{1, 6, 3, 21, "Version 1.06.03 Build 0021"},
                                           TVersionCase{1, 6, 3, 300, "Version 1.06.03 Build 0044"},
                                           TVersionCase{256, 257, 10, 255, "Version 0.01.10 Build 0255"},
                                           TVersionCase{2, 0, 0, 0, "Version 2.00.00 Build 0000"}));

TEST(FileInfo, ReadsBlockAndFileDate) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("prog"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("x");
  f.close();
  TFakeFileInfo info(path, MakeVersionBlock(Hi(1, 6), Hi(3, 21), Hi(1, 7), Hi(0, 2)));
  ASSERT_NE(info.FixedFileVersion(), nullptr);
  EXPECT_EQ(info.FixedFileVersion()->vv(), 1);
  EXPECT_EQ(info.FixedFileVersion()->rr(), 6);
  EXPECT_EQ(info.FixedFileVersion()->mm(), 3);
  EXPECT_EQ(info.FixedFileVersion()->pp(), 21);
  ASSERT_NE(info.FixedProductVersion(), nullptr);
  EXPECT_EQ(info.FixedProductVersion()->rr(), 7);
  EXPECT_EQ(info.FixedProductVersion()->pp(), 2);
  EXPECT_TRUE(info.FileDate().isValid());
  EXPECT_EQ(info.FileDate(), QFileInfo(path).lastModified());
}

TEST(FileInfo, NoBlockNoFile) {
  TFakeFileInfo info(QStringLiteral("/nonexistent/kalno"), QByteArray());
  EXPECT_EQ(info.FixedFileVersion(), nullptr);
  EXPECT_EQ(info.FixedProductVersion(), nullptr);
  EXPECT_FALSE(info.FileDate().isValid());
}

TEST(FileInfo, TheRunningProgramCarriesTheCompiledVersion) {
  TFileInfo& info = FileInfo();
  ASSERT_NE(info.FixedFileVersion(), nullptr);
  EXPECT_EQ(info.FixedFileVersion()->vv(), KALNO_VERSION_MAJOR);
  EXPECT_EQ(info.FixedFileVersion()->rr(), KALNO_VERSION_MINOR);
  EXPECT_EQ(info.FixedFileVersion()->mm(), KALNO_VERSION_PATCH);
  EXPECT_TRUE(info.FileDate().isValid());
  EXPECT_EQ(&FileInfo(), &info);
  ReleaseFileInfo();
}

TEST(AboutBox, LayoutAndVersionLine) {
  TFakeFileInfo info(QStringLiteral("/nonexistent"), MakeVersionBlock(Hi(1, 6), Hi(3, 21), 0, 0));
  TDlgInfo dlg(nullptr, &info);
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Infos"));
  EXPECT_EQ(dlg.size(), QSize(400, 467));
  EXPECT_EQ(dlg.Version->text(), QStringLiteral("Version 1.06.03 Build 0021"));
  EXPECT_EQ(dlg.Version->pos(), QPoint(15, 394));
  EXPECT_EQ(dlg.Label1->text(), QStringLiteral("Programmierung:"));
  EXPECT_EQ(dlg.Image1->geometry(), QRect(1, 1, 400, 300));
  EXPECT_FALSE(dlg.Image1->pixmap().isNull());
  EXPECT_EQ(dlg.OKButton->geometry(), QRect(157, 429, 77, 27));
  EXPECT_TRUE(dlg.OKButton->isDefault());
  dlg.show();
  dlg.OKButton->click();
  EXPECT_EQ(dlg.result(), int(QDialog::Accepted));
}

TEST(AboutBox, WithoutVersionSaysSo) {
  TFakeFileInfo info(QStringLiteral("/nonexistent"), QByteArray());
  TDlgInfo dlg(nullptr, &info);
  EXPECT_EQ(dlg.Version->text(), QStringLiteral("Version unbekannt"));
}

TEST(AboutBox, HomepageLinkAndBrowserFailure) {
  TScriptedDialogs dialogs;
  QStringList opened;
  bool ok = true;
  SetShellOpener([&](const QString& t) {
    opened << t;
    return ok;
  });
  TFakeFileInfo info(QStringLiteral("/nonexistent"), QByteArray());
  TDlgInfo dlg(nullptr, &info);
  dlg.lblHomepageClick();
  EXPECT_EQ(opened, QStringList{ProgrammingHomepage()});
  EXPECT_TRUE(dialogs.Messages.empty());
  ok = false;
  dlg.lblHomepageClick();
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0].Text, QStringLiteral("Der Internet-Browser konnte nicht geöffnet werden"));
  EXPECT_EQ(dialogs.Messages[0].Kind, TDialogKind::Plain);
  SetShellOpener({});
}

TEST(AboutBox, ShowAboutRunsModallyThroughTheDialogs) {
  TScriptedDialogs dialogs;
  QString version;
  dialogs.AnswerDialog([&](QDialog& d) {
    version = static_cast<TDlgInfo&>(d).Version->text();
    return int(QDialog::Accepted);
  });
  ShowAbout();
  EXPECT_EQ(dialogs.DialogsRun, 1);
  EXPECT_TRUE(version.startsWith(QStringLiteral("Version ")));
  ReleaseFileInfo();
}
