#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

// What a PDF viewer needs to know of a JPEG to show its bytes as they are (DCTDecode).
struct TJpegHeader {
  int Width = 0;
  int Height = 0;
  int Components = 0;  // 1 (grey) or 3 (colour)
};

// The header of `jpeg` when a PDF can carry the file unchanged: 8-bit Huffman-coded baseline,
// extended or progressive, grey or colour, with its size in the frame header. False for anything
// else (arithmetic coding, 12 bits, CMYK, a size given only after the scan), which then goes the
// usual way through Qt.
bool ReadJpegHeader(const QByteArray& jpeg, TJpegHeader* header);

// JPEG pictures that go into a PDF of Qt's PDF writer as their own bytes. Qt's writer decodes
// nothing but a QImage and encodes that again, a second lossy pass that is slow and larger. So
// the painter draws a tiny stand-in picture for each JPEG, which Qt writes as an image object of
// its own; once the writer has finished, Apply puts the JPEG's bytes in place of each stand-in and
// writes the cross-reference table anew. The picture covers the same rectangle: PDF draws every
// image into the unit square that the page's matrix maps onto the target.
class TPdfJpegImages {
 public:
  // The stand-in to draw instead of `jpeg` (whose header must have been read by ReadJpegHeader):
  // the same one for the same bytes, so a picture drawn twice is stored once.
  QImage StandIn(const QByteArray& jpeg, const TJpegHeader& header);
  int Count() const { return int(pictures_.size()); }

  // `pdf` as Qt wrote it with the JPEG bytes in place of the stand-ins. False, with `why` (for the
  // log), when the file is not laid out as expected or a stand-in is missing.
  bool Apply(QByteArray& pdf, QString* why) const;

 private:
  struct TPicture {
    QByteArray Jpeg;
    TJpegHeader Header;
    QImage StandIn;
  };
  std::vector<TPicture> pictures_;
};
