#include "platform/uPdfJpegImages.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>

namespace {
// A stand-in is this wide and three pixels plus its index tall: no picture of a form has that
// shape, so its image object is told apart from every other by its size alone. Tiny, since Qt
// compresses it as a JPEG of its own.
constexpr int kStandInWidth = 5;
constexpr int kStandInHeight = 3;

int Byte(const QByteArray& b, qsizetype i) { return static_cast<unsigned char>(b.at(i)); }
int Word(const QByteArray& b, qsizetype i) { return (Byte(b, i) << 8) | Byte(b, i + 1); }

// Objects of Qt's file: "N 0 obj" at the offset its cross-reference table gives.
struct TXref {
  qsizetype TableAt = -1;        // "xref"
  std::vector<qsizetype> Offsets;  // by object number; 0 for the free entry
};

bool ReadXref(const QByteArray& pdf, TXref* xref) {
  const qsizetype start = pdf.lastIndexOf("startxref");
  if (start < 0) return false;
  bool ok = false;
  const qsizetype at = pdf.mid(start + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
  if (!ok || at <= 0 || at >= start || !pdf.mid(at).startsWith("xref\n0 ")) return false;
  const qsizetype countEnd = pdf.indexOf('\n', at + 7);
  if (countEnd < 0) return false;
  const int count = pdf.mid(at + 7, countEnd - at - 7).trimmed().toInt(&ok);
  if (!ok || count <= 0 || countEnd + 1 + qsizetype(count) * 20 > start) return false;
  xref->TableAt = at;
  xref->Offsets.assign(std::size_t(count), 0);
  for (int i = 0; i < count; ++i) {
    const QByteArray entry = pdf.mid(countEnd + 1 + qsizetype(i) * 20, 20);
    if (entry.size() != 20 || (entry.at(17) != 'n' && entry.at(17) != 'f')) return false;
    if (entry.at(17) == 'n') {
      const qsizetype offset = entry.left(10).toLongLong(&ok);
      if (!ok || offset <= 0 || offset >= at) return false;
      xref->Offsets[std::size_t(i)] = offset;
    }
  }
  return true;
}

QByteArray ImageObject(int number, const QByteArray& jpeg, const TJpegHeader& h, bool interpolate) {
  QByteArray o = QByteArray::number(number) + " 0 obj\n<<\n/Type /XObject\n/Subtype /Image\n/Width " +
                 QByteArray::number(h.Width) + "\n/Height " + QByteArray::number(h.Height) +
                 "\n/BitsPerComponent 8\n/ColorSpace " + (h.Components == 1 ? "/DeviceGray" : "/DeviceRGB") +
                 "\n/Length " + QByteArray::number(jpeg.size()) + (interpolate ? "\n/Interpolate true" : "") +
                 "\n/Filter /DCTDecode\n>>\nstream\n";
  o += jpeg;
  o += "\nendstream\nendobj\n";
  return o;
}
}  // namespace

bool ReadJpegHeader(const QByteArray& jpeg, TJpegHeader* header) {
  if (jpeg.size() < 4 || Byte(jpeg, 0) != 0xFF || Byte(jpeg, 1) != 0xD8) return false;
  qsizetype i = 2;
  while (i + 4 <= jpeg.size()) {
    if (Byte(jpeg, i) != 0xFF) return false;
    const int marker = Byte(jpeg, i + 1);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
      i += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame header before the scan
    const int length = Word(jpeg, i + 2);
    if (length < 2 || i + 2 + length > jpeg.size()) return false;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      // Huffman baseline, extended and progressive only; every reader knows those.
      if (marker > 0xC2 || length < 8) return false;
      TJpegHeader h;
      const int precision = Byte(jpeg, i + 4);
      h.Height = Word(jpeg, i + 5);
      h.Width = Word(jpeg, i + 7);
      h.Components = Byte(jpeg, i + 9);
      if (precision != 8 || h.Width <= 0 || h.Height <= 0 || (h.Components != 1 && h.Components != 3)) return false;
      *header = h;
      return true;
    }
    i += 2 + length;
  }
  return false;
}

QImage TPdfJpegImages::StandIn(const QByteArray& jpeg, const TJpegHeader& header) {
  for (const TPicture& p : pictures_)
    if (p.Jpeg.constData() == jpeg.constData() && p.Jpeg.size() == jpeg.size()) return p.StandIn;
  QImage standIn(kStandInWidth, kStandInHeight + int(pictures_.size()), QImage::Format_RGB32);
  standIn.fill(Qt::white);
  pictures_.push_back(TPicture{jpeg, header, standIn});
  return standIn;
}

bool TPdfJpegImages::Apply(QByteArray& pdf, QString* why) const {
  auto fail = [why](const QString& text) {
    if (why) *why = text;
    return false;
  };
  if (pictures_.empty()) return true;
  TXref xref;
  if (!ReadXref(pdf, &xref)) return fail(QStringLiteral("Querverweistabelle des PDF nicht lesbar"));

  // Each object ends where the next one in the file begins; the last one at the table.
  std::vector<qsizetype> starts;
  for (qsizetype o : xref.Offsets)
    if (o > 0) starts.push_back(o);
  std::sort(starts.begin(), starts.end());
  auto endOf = [&](qsizetype start) {
    const auto next = std::upper_bound(starts.begin(), starts.end(), start);
    return next == starts.end() ? xref.TableAt : *next;
  };

  // Object number -> picture, found by the stand-in's size in the object's dictionary.
  std::map<int, std::size_t> found;
  static const QRegularExpression standIn(QStringLiteral("^\\d+ 0 obj\\n<<\\n/Type /XObject\\n/Subtype /Image\\n"
                                                         "/Width 5\\n/Height (\\d+)\\n"));
  static_assert(kStandInWidth == 5, "the pattern names the stand-in's width");
  for (std::size_t n = 0; n < xref.Offsets.size(); ++n) {
    const qsizetype at = xref.Offsets[n];
    if (at <= 0) continue;
    const QRegularExpressionMatch m = standIn.match(QString::fromLatin1(pdf.mid(at, 120)));
    if (!m.hasMatch()) continue;
    const int index = m.captured(1).toInt() - kStandInHeight;
    if (index < 0 || index >= int(pictures_.size())) continue;
    for (const auto& [number, picture] : found)
      if (picture == std::size_t(index)) return fail(QStringLiteral("Platzhalterbild %1 doppelt im PDF").arg(index));
    found[int(n)] = std::size_t(index);
  }
  if (found.size() != pictures_.size())
    return fail(QStringLiteral("%1 von %2 Platzhalterbildern im PDF gefunden").arg(found.size()).arg(pictures_.size()));

  // Rebuilt in file order: the objects before, each picture in place of its stand-in, the rest
  // moved by what the pictures added.
  struct TReplacement {
    qsizetype Start, End;
    QByteArray Object;
  };
  std::vector<TReplacement> replacements;
  for (const auto& [number, index] : found) {
    const qsizetype start = xref.Offsets[std::size_t(number)];
    const qsizetype end = endOf(start);
    const QByteArray old = pdf.mid(start, end - start);
    const qsizetype dictEnd = old.indexOf(">>\nstream\n");
    if (dictEnd < 0 || !old.endsWith("endobj\n")) return fail(QStringLiteral("Platzhalterbild %1 unlesbar").arg(index));
    const bool interpolate = old.left(dictEnd).contains("/Interpolate true");
    const TPicture& p = pictures_[index];
    replacements.push_back({start, end, ImageObject(number, p.Jpeg, p.Header, interpolate)});
  }
  std::sort(replacements.begin(), replacements.end(),
            [](const TReplacement& a, const TReplacement& b) { return a.Start < b.Start; });

  QByteArray out;
  qsizetype total = pdf.size();
  for (const TReplacement& r : replacements) total += r.Object.size() - (r.End - r.Start);
  out.reserve(total + 64);
  qsizetype copied = 0;
  for (const TReplacement& r : replacements) {
    out.append(pdf.constData() + copied, r.Start - copied);
    out.append(r.Object);
    copied = r.End;
  }
  out.append(pdf.constData() + copied, xref.TableAt - copied);

  auto moved = [&](qsizetype offset) {
    qsizetype shift = 0;
    for (const TReplacement& r : replacements)
      if (r.Start < offset) shift += r.Object.size() - (r.End - r.Start);
    return offset + shift;
  };
  const qsizetype tableAt = out.size();
  out += "xref\n0 " + QByteArray::number(qsizetype(xref.Offsets.size())) + "\n";
  for (std::size_t n = 0; n < xref.Offsets.size(); ++n) {
    const qsizetype o = xref.Offsets[n];
    out += o > 0 ? QByteArray::number(moved(o)).rightJustified(10, '0') + " 00000 n \n"
                 : QByteArray("0000000000 65535 f \n");
  }
  // The trailer as Qt wrote it, with the table's new place.
  const qsizetype trailer = pdf.indexOf("trailer", xref.TableAt);
  const qsizetype startxref = pdf.lastIndexOf("startxref");
  if (trailer < 0 || trailer > startxref) return fail(QStringLiteral("Trailer des PDF nicht lesbar"));
  out.append(pdf.constData() + trailer, startxref - trailer);
  out += "startxref\n" + QByteArray::number(tableAt) + "\n%%EOF\n";
  pdf = out;
  return true;
}
