#include "qt_window.h"

#include "catalogue.h"

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Qt aborts when it finds no window system; without one the program says so in a plain line.
bool windowSystemNamed(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "-platform" || std::string_view(argv[i]) == "--platform")
            return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY")
        || std::getenv("QT_QPA_PLATFORM");
}

// The program speaks the first of the user's languages that it knows: Qt reads them from LANGUAGE,
// LC_ALL, LC_MESSAGES and LANG, in that order.
const runby::Catalogue &speakTheUsersLanguage()
{
    std::vector<std::string> languages;
    for (const QString &tag : QLocale::system().uiLanguages())
        languages.push_back(tag.toStdString());
    const runby::Catalogue &catalogue = runby::catalogueFor(languages);
    runby::speak(catalogue);
    return catalogue;
}

} // namespace

int main(int argc, char *argv[])
{
    const runby::Catalogue &catalogue = speakTheUsersLanguage();
    if (!windowSystemNamed(argc, argv)) {
        const std::string_view message = runby::textOf(runby::Text::no_desktop);
        std::fwrite(message.data(), 1, message.size(), stderr);
        std::fputc('\n', stderr);
        return 1;
    }
    QApplication app(argc, argv);
    runby::speakInQt(app, catalogue.language);
    runby::RunbyWindow window;
    window.show();
    return QApplication::exec();
}
