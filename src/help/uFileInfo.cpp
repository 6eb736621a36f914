#include "help/uFileInfo.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include "uVersion.h"

TProjVersion TProjVersion::FromFixed(quint32 upper, quint32 lower) {
  TProjVersion v;
  v.vv_ = quint8((upper >> 16) & 0xFF);
  v.rr_ = quint8(upper & 0xFF);
  v.mm_ = quint8((lower >> 16) & 0xFF);
  v.pp_ = quint8(lower & 0xFF);
  return v;
}

TProjVersion TProjVersion::FromParts(unsigned major, unsigned minor, unsigned release, unsigned build) {
  return FromFixed((quint32(major & 0xFFFF) << 16) | (minor & 0xFFFF), (quint32(release & 0xFFFF) << 16) | (build & 0xFFFF));
}

QByteArray MakeVersionBlock(quint32 fileUpper, quint32 fileLower, quint32 productUpper, quint32 productLower) {
  QByteArray b(16, '\0');
  qToLittleEndian(fileUpper, b.data());
  qToLittleEndian(fileLower, b.data() + 4);
  qToLittleEndian(productUpper, b.data() + 8);
  qToLittleEndian(productLower, b.data() + 12);
  return b;
}

TFileInfo::TFileInfo(const QString& path) : path_(path) { ReadVersionInfo(path); }

TFileInfo::~TFileInfo() = default;

QByteArray TFileInfo::LoadVersionBlock(const QString& path) {
  const QString self = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
  if (self.isEmpty() || QFileInfo(path).canonicalFilePath() != QFileInfo(self).canonicalFilePath()) return {};
  const quint32 upper = (quint32(KALNO_VERSION_MAJOR) << 16) | quint32(KALNO_VERSION_MINOR);
  const quint32 lower = (quint32(KALNO_VERSION_PATCH) << 16) | quint32(KALNO_VERSION_BUILD);
  return MakeVersionBlock(upper, lower, upper, lower);
}

void TFileInfo::ReadVersionInfo(const QString& path) {
  path_ = path;
  fileVersion_.reset();
  productVersion_.reset();
  fileDate_ = QDateTime();
  buffer_ = LoadVersionBlock(path);
  if (buffer_.size() >= 16) {
    const char* d = buffer_.constData();
    fileVersion_ = std::make_unique<TProjVersion>(
        TProjVersion::FromFixed(qFromLittleEndian<quint32>(d), qFromLittleEndian<quint32>(d + 4)));
    productVersion_ = std::make_unique<TProjVersion>(
        TProjVersion::FromFixed(qFromLittleEndian<quint32>(d + 8), qFromLittleEndian<quint32>(d + 12)));
  }
  QFile f(path);
  if (f.open(QIODevice::ReadOnly)) {
    fileDate_ = f.fileTime(QFileDevice::FileModificationTime);
    f.close();
  }
}

QString VersionLine(const TProjVersion& v) {
  return QString::asprintf("Version %d.%.2d.%.2d Build %.4d", int(v.vv()), int(v.rr()), int(v.mm()), int(v.pp()));
}

namespace {
std::unique_ptr<TFileInfo>& Instance() {
  static std::unique_ptr<TFileInfo> info;
  return info;
}
}  // namespace

TFileInfo& FileInfo() {
  if (!Instance()) Instance() = std::make_unique<TFileInfo>(QCoreApplication::applicationFilePath());
  return *Instance();
}

void ReleaseFileInfo() { Instance().reset(); }
