#include "editor/qt_text.h"

#include "text/cp1251.h"

namespace kv {

QString FromCp1251(std::string_view bytes) {
    return QString::fromStdU16String(Cp1251ToUtf16(bytes));
}

std::string ToCp1251(const QString& text) { return Utf16ToCp1251(text.toStdU16String()); }

QString FromUtf8Path(const std::string& path) { return QString::fromStdString(path); }

std::string ToUtf8Path(const QString& path) { return path.toStdString(); }

} // namespace kv
