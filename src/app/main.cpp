// Vondrel: an editor for the saved households of The Veks.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/QtFolderPicker.h"
#include "platform/QtListChooser.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "ui/HelpOpenerQt.h"
#include "ui/Startup.h"
#ifdef _WIN32
#include "platform/WindowsRegistry.h"
#else
#include "gamedata/WinePrefixes.h"
#include "platform/WineRegistry.h"
#endif

namespace {

// Message boxes for a run nobody watches (--screenshot): each text goes to the error
// stream and every question gets its cautious answer.
class UnattendedMessageBoxes : public vondrel::MessageBoxes {
  public:
    vondrel::MessageAnswer show(std::string_view text, vondrel::MessageIcon,
                                vondrel::MessageButtons buttons) override {
        std::fprintf(stderr, "vondrel: %.*s\n", static_cast<int>(text.size()), text.data());
        switch (buttons) {
            case vondrel::MessageButtons::Ok:
                return vondrel::MessageAnswer::Ok;
            case vondrel::MessageButtons::YesNo:
                return vondrel::MessageAnswer::No;
            case vondrel::MessageButtons::RetryCancel:
                return vondrel::MessageAnswer::Cancel;
        }
        return vondrel::MessageAnswer::Cancel;
    }
};

class NoFolderPicker : public vondrel::FolderPicker {
  public:
    std::optional<std::string> pickFolder(std::string_view, std::string_view,
                                          std::string_view) override {
        return std::nullopt;
    }
};

// The program's options. The command line is read once before any window system is
// touched, so --help, --version and a mistyped option are answered without a display.
class CommandLine {
  public:
    CommandLine()
        : gameDir(QStringLiteral("game-dir"),
                  QStringLiteral("Use DIR as the game folder for this run."),
                  QStringLiteral("DIR")),
          screenshot(QStringLiteral("screenshot"),
                     QStringLiteral("Start, show the first person, save a picture of the window "
                                    "to FILE (PNG, or the format its name ends in) and quit "
                                    "without writing anything else."),
                     QStringLiteral("FILE")) {
        parser.setApplicationDescription(
            QStringLiteral("Editor for the saved households of The Veks."));
        // Qt's own options are single-dash words (-platform, -style); reading them as words
        // lets them be told apart from a mistyped option of ours.
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOption(gameDir);
        parser.addOption(screenshot);
    }

    QCommandLineParser parser;
    const QCommandLineOption gameDir;
    const QCommandLineOption screenshot;
};

// Options that QApplication takes out of the command line itself.
bool isQtOption(const QString& name) {
    static const QStringList names = {
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("display"),       QStringLiteral("geometry"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("nograb"),
        QStringLiteral("dograb"),        QStringLiteral("sync"),
        QStringLiteral("title"),         QStringLiteral("name"),
        QStringLiteral("visual"),
    };
    return names.contains(name);
}

#ifndef _WIN32
// The last --game-dir value as the system gave it: a folder name need not be valid text in
// the locale's encoding, and QString would replace what is not.
std::optional<std::string> rawGameDir(int argc, char** argv) {
    std::optional<std::string> value;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--")
            break;
        for (const std::string_view option : {"--game-dir", "-game-dir"}) {
            if (argument == option && i + 1 < argc) {
                value = argv[++i];
                break;
            }
            if (argument.size() > option.size() && argument.starts_with(option) &&
                argument[option.size()] == '=') {
                value = std::string(argument.substr(option.size() + 1));
                break;
            }
        }
    }
    return value;
}
#endif

void printOut(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Vondrel"));
    QCoreApplication::setApplicationVersion(vondrel::versionText());

    CommandLine cli;
    QCommandLineParser& parser = cli.parser;
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const bool parsed = parser.parse(arguments);
    const QStringList unknown = parser.unknownOptionNames();
    // A command line with Qt's own options (or --help-all, which lists them) is read again
    // once QApplication has taken those out.
    const bool needsQt = parser.isSet(QStringLiteral("help-all")) ||
                         std::any_of(unknown.begin(), unknown.end(), isQtOption);
    if (!needsQt) {
        if (!parsed) {
            std::fprintf(stderr, "vondrel: %s\nTry 'vondrel --help' for the options.\n",
                         qPrintable(parser.errorText()));
            return 1;
        }
        if (parser.isSet(QStringLiteral("help"))) {
            // Without an application object Qt cannot know the program's name.
            printOut(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                               arguments.value(0, QStringLiteral("vondrel"))));
            return 0;
        }
        if (parser.isSet(QStringLiteral("version"))) {
            printOut(QCoreApplication::applicationName() + u' ' +
                     QCoreApplication::applicationVersion() + u'\n');
            return 0;
        }
    }

    QApplication app(argc, argv);
    if (needsQt) {
        parser.process(app);
    }
    const QCommandLineOption& gameDir = cli.gameDir;
    const QCommandLineOption& screenshot = cli.screenshot;

    vondrel::StartOptions options;
    if (parser.isSet(gameDir)) {
#ifdef _WIN32
        options.gameDir = QDir::toNativeSeparators(parser.value(gameDir)).toStdString();
#else
        options.gameDir = rawGameDir(argc, argv);
        if (!options.gameDir)
            options.gameDir = parser.value(gameDir).toStdString();
#endif
    }
    const bool unattended = parser.isSet(screenshot);

#ifdef _WIN32
    vondrel::WindowsRegistry registry;
    std::vector<std::unique_ptr<vondrel::Registry>> prefixRegistries;
    std::string browseStart;
#else
    // $WINEPREFIX (or ~/.wine) first, then the prefixes of Steam, Lutris and Bottles.
    vondrel::WineRegistry registry(vondrel::WineRegistry::prefixFromEnvironment());
    const vondrel::PrefixSearch search = vondrel::PrefixSearch::fromEnvironment();
    const std::vector<std::filesystem::path> prefixes = vondrel::findWinePrefixes(search);
    std::vector<std::unique_ptr<vondrel::Registry>> prefixRegistries;
    for (const std::filesystem::path& prefix : prefixes) {
        if (prefix != registry.prefix())
            prefixRegistries.push_back(std::make_unique<vondrel::WineRegistry>(prefix));
    }
    const std::string browseStart = vondrel::browseStartFolder(prefixes, search.home).string();
#endif
    vondrel::QtSettingsStore settings;
    vondrel::QtFolderPicker dialogPicker;
    vondrel::QtMessageBoxes dialogBoxes;
    NoFolderPicker noPicker;
    UnattendedMessageBoxes logBoxes;
    vondrel::PlatformServices services{
        registry,
        settings,
        unattended ? static_cast<vondrel::FolderPicker&>(noPicker) : dialogPicker,
        unattended ? static_cast<vondrel::MessageBoxes&>(logBoxes) : dialogBoxes,
        nullptr,
        nullptr,
        nullptr,
        {}};
    for (const auto& other : prefixRegistries)
        services.otherRegistries.push_back(other.get());
    services.browseStart = browseStart;
    vondrel::ChmHelpOpener opener(services.messages);
    services.help = &opener;
    vondrel::ProcessTable processes;
    services.game = &processes;
    vondrel::QtListChooser chooser;
    services.chooser = &chooser;
    // A run that saves nothing keeps no copies either.
    if (!unattended)
        services.backupRoot = vondrel::defaultBackupRoot();

    vondrel::SplashWindow splash;
    std::unique_ptr<vondrel::MainWindow> window = vondrel::startUp(services, options, splash);
    if (!window)
        return 1;

    if (unattended) {
        QApplication::processEvents();
        // The format the file name ends in (.bmp, .jpg, ...), PNG for any other name, at a
        // fast compression level: the picture is taken once, and its time counts in start-up.
        const QString file = parser.value(screenshot);
        const QByteArray suffix = QFileInfo(file).suffix().toLower().toLatin1();
        const bool known = QImageWriter::supportedImageFormats().contains(suffix);
        if (!window->grab().save(file, known ? suffix.constData() : "PNG", 80)) {
            std::fprintf(stderr, "vondrel: cannot write %s\n",
                         qPrintable(parser.value(screenshot)));
            return 1;
        }
        return 0;
    }
    // From here on every dialog opens over the window.
    chooser.setParent(window.get());
    dialogBoxes.setParent(window.get());
    dialogPicker.setParent(window.get());
    opener.setParent(window.get());
    QObject::connect(window.get(), &vondrel::MainWindow::exitConfirmed, &app, &QApplication::quit);
    return app.exec();
}
