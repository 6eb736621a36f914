// A save killed at any point: a child process writes the document and is killed with SIGKILL
// after a random delay, again and again, each time writing the other of two versions. Whenever it
// dies, the file must be byte for byte one of the two versions. (The documents tests stop one
// save at a known point; this one spreads the kill over the whole write, the replacement of the
// old file included.) The two versions are what the document's save produces; the child runs
// the part of the save that touches the file, forked without exec, so 200 rounds take seconds.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include "TestSupport.h"
#include "storage/uDocuments.h"
#include "storage/uSafeFile.h"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 200;

TFieldLists Lists() {
  TFieldLists lists(2);
  const QFont f = TFormField::DefaultFont();
  for (int s = 0; s < 2; ++s)
    for (int i = 0; i < 100; ++i) lists[std::size_t(s)].AddEdit(QStringLiteral("Feld%1_%2").arg(s).arg(i), 2000, 0, 0, 1, 1, f);
  return lists;
}

// Two versions of different lengths, so a mix of them cannot pass for either; some 200 KB, so
// that the save writes several pieces.
void SetVersion(TFieldLists& lists, int version) {
  for (TFormFieldList& l : lists)
    for (int i = 0; i < l.Count(); ++i)
      l.Fields(i)->SetValue(QString(version == 0 ? 900 : 1300 + i % 7, QLatin1Char(version == 0 ? 'a' : 'b')));
}

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes `bytes` in a child; kills it after `delayUs` (never, when negative). True when the child
// finished the write by itself.
bool SaveInChild(const QString& path, const QByteArray& bytes, qint64 delayUs) {
  const pid_t pid = fork();
  if (pid < 0) return false;
  if (pid == 0) _exit(WriteFileSafely(path, bytes, nullptr) ? 0 : 1);
  if (delayUs >= 0) {
    if (delayUs > 0) usleep(useconds_t(delayUs));
    kill(pid, SIGKILL);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(KilledSave, TheDocumentIsAlwaysTheOldOrTheNewVersion) {
  TScriptedDialogs dialogs;
  // In memory where the system has a RAM disk: the kill is what is tested, not the disk, and
  // flushing to a loaded real disk 200 times takes minutes.
  QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/test_killedsave-XXXXXX") : QString());
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("akte.kln");
  TFieldLists lists = Lists();
  TDocument doc(lists);
  QByteArray versions[2];
  for (int v : {1, 0}) {  // version 0 is on the disk at the start
    SetVersion(lists, v);
    ASSERT_TRUE(doc.WriteDocument(path));
    versions[v] = ReadAll(path);
  }
  ASSERT_NE(versions[0], versions[1]);

  // How long one whole write takes in a child here: the delays spread over that and a bit more.
  QElapsedTimer timer;
  timer.start();
  int onDisk = 0;
  for (int i = 0; i < 3; ++i) {
    onDisk = 1 - onDisk;
    ASSERT_TRUE(SaveInChild(path, versions[onDisk], -1));
    ASSERT_EQ(ReadAll(path), versions[onDisk]);
  }
  const qint64 saveUs = qMax<qint64>(timer.nsecsElapsed() / 3000, 1000);

  QRandomGenerator gen(12);
  int keptOld = 0, tookNew = 0;
  for (int round = 0; round < kRounds; ++round) {
    const int next = 1 - onDisk;
    SaveInChild(path, versions[next], qint64(gen.bounded(quint64(saveUs * 5 / 4))));
    const QByteArray now = ReadAll(path);
    if (now == versions[next]) {
      onDisk = next;
      ++tookNew;
    } else {
      ASSERT_EQ(now.size(), versions[onDisk].size()) << "round " << round << ": a mixed or cut file";
      ASSERT_TRUE(now == versions[onDisk]) << "round " << round << ": neither version";
      ++keptOld;
    }
  }
  // The kills fell before and after the file was replaced, or the test proved little.
  EXPECT_GT(keptOld, 0);
  EXPECT_GT(tookNew, 0);
  RecordProperty("kept_old", keptOld);
  RecordProperty("took_new", tookNew);
  RecordProperty("save_us", int(saveUs));
}

}  // namespace
