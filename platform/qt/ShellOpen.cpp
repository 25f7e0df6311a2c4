#include "ShellOpen.h"

#include "QtConvert.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QUrl>
#include <utility>

namespace qel {
namespace {

class TDesktopOpener : public IShellOpener {
public:
  bool Open(const std::string& Target) override {
    const QString target = ToQString(Target);
    // "c:..." would look like a scheme; schemes here are two letters or more.
    static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
    const QUrl url = scheme.match(target).hasMatch() ? QUrl(target) : QUrl::fromLocalFile(target);
    return QDesktopServices::openUrl(url);
  }
};

IShellOpener* Current = nullptr;

} // namespace

bool ShellOpen(const std::string& Target) {
  static TDesktopOpener desktop;
  return (Current ? *Current : static_cast<IShellOpener&>(desktop)).Open(Target);
}

IShellOpener* SetShellOpener(IShellOpener* opener) { return std::exchange(Current, opener); }

} // namespace qel
