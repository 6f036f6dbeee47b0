#include "desktop/shell/display_text.h"

#include <QFile>
#include <QStringDecoder>
#include <array>

namespace kivo::desktop {
namespace {

// Windows-1252 at 0x80..0x9F; the five undefined bytes keep their C1 code
// points, as Windows' own conversion does.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString FromCp1252(const std::string& text) {
  QString result;
  result.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte <= 0x9F) {
      result.append(QChar(kCp1252High[byte - 0x80]));
    } else {
      result.append(QChar(static_cast<char16_t>(byte)));
    }
  }
  return result;
}

}  // namespace

QString DisplayText(const std::string& text) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString utf8 =
      decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  if (!decoder.hasError()) return utf8;
  return FromCp1252(text);
}

QString MultiLineText(const std::string& text) {
  return DisplayText(text)
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QString LiteralText(const QString& text) {
  constexpr QChar kWordJoiner(0x2060);
  QString result;
  result.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    result.append(text[i]);
    if (text[i] == QLatin1Char('<') ||
        (text[i] == QLatin1Char('&') &&
         QStringView(text).sliced(i + 1).startsWith(QLatin1String("lt;")))) {
      result.append(kWordJoiner);
    }
  }
  return result;
}

std::string CoreText(const QString& text) {
  return text.toUtf8().toStdString();
}

std::string PathBytes(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString PathFromBytes(const std::string& path) {
  return QFile::decodeName(
      QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace kivo::desktop
