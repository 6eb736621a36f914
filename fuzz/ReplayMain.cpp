// Feeds every file of the folders and files named on the command line to the harness's entry
// point, once each: the plain build of a fuzz harness, so the tests replay the corpus.
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

namespace {
void RunOne(const QString& path, int* count) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
    std::exit(2);
  }
  const QByteArray bytes = f.readAll();
  std::fprintf(stderr, "replay %s (%lld bytes)\n", qPrintable(path), static_cast<long long>(bytes.size()));
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
  ++*count;
}
}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (QFileInfo(arg).isDir()) {
      QDirIterator it(arg, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
      QStringList files;
      while (it.hasNext()) files << it.next();
      files.sort();
      for (const QString& f : files) RunOne(f, &count);
    } else {
      RunOne(arg, &count);
    }
  }
  if (count == 0) {
    std::fprintf(stderr, "no corpus files given\n");
    return 2;
  }
  std::fprintf(stderr, "%d inputs replayed\n", count);
  return 0;
}
