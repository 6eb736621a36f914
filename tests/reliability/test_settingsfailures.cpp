// The settings store on a configuration folder that cannot be written and on configuration files
// it cannot read: the program goes on with the defaults, says so once, and never destroys a file
// it could not read.
#include <gtest/gtest.h>

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "storage/uQVRegistry.h"

#include <unistd.h>

static inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Permissions do not hold for root: the test acts as "nobody" where it runs as root.
class TAsNobody {
 public:
  TAsNobody() {
    if (geteuid() != 0) return;
    active_ = setresgid(65534, 65534, 0) == 0 && setresuid(65534, 65534, 0) == 0;
  }
  ~TAsNobody() {
    if (!active_) return;
    [[maybe_unused]] int a = setresuid(0, 0, 0);
    [[maybe_unused]] int b = setresgid(0, 0, 0);
  }

 private:
  bool active_ = false;
};

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class SettingsFailure : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(home_.isValid());
    // Reachable for "nobody": the folder the settings live in is made unwritable per test.
    QFile::setPermissions(home_.path(), QFileDevice::Permissions(0x7755));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_.path());
    folder_ = home_.path() + "/KALNO";
    ASSERT_TRUE(QDir().mkpath(folder_));
    file_ = folder_ + "/Mahnbescheid.conf";
    TQVRegIniFile::ResetForTesting();
    ASSERT_EQ(QSettings(QSettings::NativeFormat, QSettings::UserScope, "KALNO", "Mahnbescheid").fileName(), file_);
    TQVRegIniFile::SetWriteErrorHandler([this](const QString& m) { reports_ << m; });
  }
  void TearDown() override {
    TQVRegIniFile::SetWriteErrorHandler(nullptr);
    TQVRegIniFile::ResetForTesting();
    QFile::setPermissions(folder_, QFileDevice::Permissions(0x7777));
    QFile::setPermissions(file_, QFileDevice::Permissions(0x6666));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, TestSettingsFolder());
  }
  void SetFolderWritable(bool writable) {
    QFile::setPermissions(folder_, QFileDevice::Permissions(writable ? 0x7777 : 0x5555));
  }
  void WriteFile(const QByteArray& bytes) {
    QFile f(file_);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
  }
  QStringList Aside() const {
    return QDir(folder_).entryList({"Mahnbescheid.conf.corrupt-*"}, QDir::Files | QDir::Hidden, QDir::Name);
  }
  static QString AsideName() {
    return "Mahnbescheid.conf.corrupt-" + QDate::currentDate().toString("yyyy-MM-dd");
  }
  // The first-run defaults of the program's values.
  static void ExpectDefaults() {
    TQVRegIniFile& r = QVRegIniFile();
    EXPECT_TRUE(r.ReadBool("\\Help\\", "StepHelp", true));
    EXPECT_EQ(r.ReadInteger("\\Werbung\\", "Count", 8), 8);
    EXPECT_EQ(r.ReadFloat("Mahnbescheid", "OffsetX", 0), 0.0);
  }

  QTemporaryDir home_;
  QString folder_, file_;
  QStringList reports_;
};

struct TBadFile {
  const char* Label;
  std::function<QByteArray()> Make;
  bool NoPermission;  // the file cannot be opened at all
};

class UnreadableSettingsFile : public SettingsFailure, public ::testing::WithParamInterface<TBadFile> {};

TEST_P(UnreadableSettingsFile, IsKeptAsideAndTheStoreStartsWithTheDefaults) {
  const QByteArray bytes = GetParam().Make();
  WriteFile(bytes);
  SetFolderWritable(true);
  if (GetParam().NoPermission) QFile::setPermissions(file_, QFileDevice::Permissions());
  {
    TAsNobody nobody;
    ExpectDefaults();
    QVRegIniFile().WriteInteger("\\Werbung\\", "Count", 9);
    QVRegIniFile().WriteBool("\\Help\\", "StepHelp", false);
    EXPECT_EQ(QVRegIniFile().ReadInteger("\\Werbung\\", "Count", 8), 9);
  }
  ASSERT_EQ(reports_.size(), 1) << reports_.join("\n").toStdString();
  EXPECT_TRUE(reports_[0].contains("können nicht gelesen werden")) << reports_[0].toStdString();
  EXPECT_TRUE(reports_[0].contains(AsideName())) << reports_[0].toStdString();
  ASSERT_EQ(Aside(), QStringList{AsideName()});
  QFile::setPermissions(folder_ + "/" + AsideName(), QFileDevice::Permissions(0x6666));
  EXPECT_EQ(ReadAll(folder_ + "/" + AsideName()), bytes) << "the unreadable file was changed";
  // The new file holds what was written since, and a new start reads it without a word.
  TQVRegIniFile::ResetForTesting();
  EXPECT_EQ(QVRegIniFile().ReadInteger("\\Werbung\\", "Count", 8), 9);
  EXPECT_FALSE(QVRegIniFile().ReadBool("\\Help\\", "StepHelp", true));
  EXPECT_EQ(reports_.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableSettingsFile,
    ::testing::Values(
        TBadFile{"NulBytes", [] { return QByteArray(4096, '\0'); }, false},
        TBadFile{"RandomGarbage",
                 [] {
                   QByteArray b(4096, Qt::Uninitialized);
                   QRandomGenerator gen(3);
                   for (char& c : b) c = char(gen.bounded(256));
                   return b;
                 },
                 false},
        TBadFile{"NulInsideEntries", [] { return QByteArray("[Help]\nStepHelp=0\n\0\0[Werbung]\nCount=3\n", 38); }, false},
        TBadFile{"LinesThatAreNoEntries", [] { return QByteArray("Das ist keine Einstellungsdatei.\nZweite Zeile\n"); },
                 false},
        TBadFile{"NoUtf8", [] { return QByteArray("[Help]\nStepHelp=0\nName=M\xfcller\n"); }, false},
        TBadFile{"BrokenSectionHeader", [] { return QByteArray("[Help\nStepHelp=0\n"); }, false},
        TBadFile{"NoPermission", [] { return QByteArray("[Help]\nStepHelp=0\n"); }, true}),
    [](const ::testing::TestParamInfo<TBadFile>& info) { return std::string(info.param.Label); });

TEST_F(SettingsFailure, AReadableFileIsUsedAndNotMoved) {
  const QByteArray bytes("; von Hand\n[Help]\nStepHelp=0\n\n[Werbung]\nCount=3\n");
  WriteFile(bytes);
  EXPECT_FALSE(QVRegIniFile().ReadBool("\\Help\\", "StepHelp", true));
  EXPECT_EQ(QVRegIniFile().ReadInteger("\\Werbung\\", "Count", 8), 3);
  EXPECT_TRUE(reports_.isEmpty());
  EXPECT_TRUE(Aside().isEmpty());
}

TEST_F(SettingsFailure, ASecondUnreadableFileOfTheDayDoesNotReplaceTheFirst) {
  WriteFile(QByteArray(100, '\0'));
  (void)QVRegIniFile().ReadBool("\\Help\\", "StepHelp", true);
  TQVRegIniFile::ResetForTesting();
  WriteFile(QByteArray(200, '\0'));
  (void)QVRegIniFile().ReadBool("\\Help\\", "StepHelp", true);
  ASSERT_EQ(Aside(), QStringList({AsideName(), AsideName() + "-2"}));
  EXPECT_EQ(ReadAll(folder_ + "/" + AsideName()).size(), 100);
  EXPECT_EQ(ReadAll(folder_ + "/" + AsideName() + "-2").size(), 200);
}

TEST_F(SettingsFailure, AnUnreadableFileThatCannotBeMovedIsNeverWritten) {
  const QByteArray bytes("Das ist keine Einstellungsdatei.\n\0\0\0", 36);
  WriteFile(bytes);
  SetFolderWritable(false);
  QFile::setPermissions(file_, QFileDevice::Permissions(0x6666));
  {
    TAsNobody nobody;
    ExpectDefaults();
    // The values of this session still hold while it lasts.
    QVRegIniFile().WriteInteger("\\Werbung\\", "Count", 9);
    QVRegIniFile().WriteBool("\\FormPosition\\", "saved", true);
    EXPECT_EQ(QVRegIniFile().ReadInteger("\\Werbung\\", "Count", 8), 9);
    EXPECT_TRUE(QVRegIniFile().ReadBool("FormPosition", "saved", false));
  }
  ASSERT_EQ(reports_.size(), 1) << reports_.join("\n").toStdString();
  EXPECT_TRUE(reports_[0].contains("lässt die Datei unverändert")) << reports_[0].toStdString();
  EXPECT_EQ(ReadAll(file_), bytes);
  EXPECT_TRUE(Aside().isEmpty());
}

TEST_F(SettingsFailure, AnUnwritableFolderGivesTheDefaultsAndOneMessage) {
  SetFolderWritable(false);
  {
    TAsNobody nobody;
    ExpectDefaults();
    QVRegIniFile().WriteInteger("\\Werbung\\", "Count", 9);
    QVRegIniFile().WriteBool("\\Help\\", "StepHelp", false);
    QVRegIniFile().WriteFloat("Mahnbescheid", "OffsetX", 1.5);
  }
  ASSERT_EQ(reports_.size(), 1) << reports_.join("\n").toStdString();
  EXPECT_TRUE(reports_[0].contains("können nicht gespeichert werden")) << reports_[0].toStdString();
  EXPECT_FALSE(QFile::exists(file_));
}

TEST_F(SettingsFailure, AFailureBeforeTheHandlerIsInstalledIsReportedToIt) {
  // At start the program folder is written before the application object and the handler exist.
  TQVRegIniFile::SetWriteErrorHandler(nullptr);
  SetFolderWritable(false);
  {
    TAsNobody nobody;
    WriteInstallDir();
    EXPECT_TRUE(reports_.isEmpty());
    TQVRegIniFile::SetWriteErrorHandler([this](const QString& m) { reports_ << m; });
    ASSERT_EQ(reports_.size(), 1);
    QVRegIniFile().WriteInteger("\\Werbung\\", "Count", 9);
  }
  EXPECT_EQ(reports_.size(), 1);
  EXPECT_TRUE(reports_[0].contains("können nicht gespeichert werden"));
}

}  // namespace
