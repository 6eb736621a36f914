// Help pages: any file is loaded into the HTML view (or left out) without harm; the view stays
// usable for the next page.
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "FuzzSupport.h"
#include "help/uHelpPages.h"
#include "help/uHtmlView.h"

namespace {
// Removed when the run ends; the view lives as long as the application object.
std::unique_ptr<QTemporaryDir> folder;
THtmlView* view = nullptr;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  EnsureFuzzApplication();
  // In memory where the system has a RAM disk: every input becomes a file.
  folder = QFile::exists(QStringLiteral("/dev/shm"))
               ? std::make_unique<QTemporaryDir>(QStringLiteral("/dev/shm/kalno-fuzz-XXXXXX"))
               : std::make_unique<QTemporaryDir>();
  view = new THtmlView();
  view->resize(400, 300);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = FuzzBytes(data, size);
  (void)DecodeHtmlBytes(bytes);
  const QString path = folder->filePath(QStringLiteral("Step1.html"));
  {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(f.write(bytes) == bytes.size());
  }
  LoadHelpPage(*view, path);
  (void)view->toPlainText();
  (void)view->document()->size();
  // A page loaded from disk, with its folder as the base for relative references.
  view->LoadFromFile(path);
  (void)view->document()->pageCount();
  return 0;
}
