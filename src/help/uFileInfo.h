#pragma once
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <memory>

// One version number of the four parts major.minor.release.build, each kept in 8 bits, so a part
// above 255 is held modulo 256.
class TProjVersion {
 public:
  TProjVersion() = default;
  // From the two 32-bit halves of a fixed version: major and minor in the upper half, release and
  // build in the lower, each in a 16-bit word.
  static TProjVersion FromFixed(quint32 upper, quint32 lower);
  static TProjVersion FromParts(unsigned major, unsigned minor, unsigned release, unsigned build);

  quint8 vv() const { return vv_; }
  quint8 rr() const { return rr_; }
  quint8 mm() const { return mm_; }
  quint8 pp() const { return pp_; }

 private:
  quint8 vv_ = 0, rr_ = 0, mm_ = 0, pp_ = 0;
};

// The version information of one file: the version compiled into the program (on Windows the
// file's version resource carries the same numbers) and the file's modification time.
class TFileInfo {
 public:
  explicit TFileInfo(const QString& path);
  virtual ~TFileInfo();

  // Reads versions and file date again.
  virtual void ReadVersionInfo(const QString& path);

  const QString& Path() const { return path_; }
  // Invalid when the file could not be opened.
  const QDateTime& FileDate() const { return fileDate_; }
  // Null when the file carries no version.
  const TProjVersion* FixedFileVersion() const { return fileVersion_.get(); }
  const TProjVersion* FixedProductVersion() const { return productVersion_.get(); }

  // The raw version block as it was read (upper and lower halves of file and product version).
  const QByteArray& VersionBuffer() const { return buffer_; }

 protected:
  // The version block of `path`; empty when it has none. Our program's own file carries the
  // compiled-in version; other files carry none off Windows.
  virtual QByteArray LoadVersionBlock(const QString& path);

 private:
  QString path_;
  QDateTime fileDate_;
  std::unique_ptr<TProjVersion> fileVersion_, productVersion_;
  QByteArray buffer_;
};

// A version block as LoadVersionBlock delivers it: four little-endian 32-bit words, file version
// upper and lower, product version upper and lower.
QByteArray MakeVersionBlock(quint32 fileUpper, quint32 fileLower, quint32 productUpper, quint32 productLower);

// "Version %d.%.2d.%.2d Build %.4d"
QString VersionLine(const TProjVersion& version);

// The version reader of the running program, created on first use.
TFileInfo& FileInfo();
// Released at program end.
void ReleaseFileInfo();
