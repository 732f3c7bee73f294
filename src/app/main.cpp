// Vondrel: an editor for the saved households of The Veks.

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <cstdio>

#include "platform/QtFolderPicker.h"
#include "platform/QtListChooser.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "ui/HelpOpenerQt.h"
#include "ui/Startup.h"
#ifdef _WIN32
#include "platform/WindowsRegistry.h"
#else
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
    std::optional<std::string> pickFolder(std::string_view) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vondrel"));
    QApplication::setApplicationVersion(vondrel::versionText());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Editor for the saved households of The Veks."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption gameDir(QStringLiteral("game-dir"),
                                     QStringLiteral("Use DIR as the game folder for this run."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Start, show the first person, save a PNG of the window to FILE and quit "
                       "without writing anything else."),
        QStringLiteral("FILE"));
    parser.addOption(gameDir);
    parser.addOption(screenshot);
    parser.process(app);

    vondrel::StartOptions options;
    if (parser.isSet(gameDir)) {
        options.gameDir = QDir::toNativeSeparators(parser.value(gameDir)).toStdString();
    }
    const bool unattended = parser.isSet(screenshot);

#ifdef _WIN32
    vondrel::WindowsRegistry registry;
#else
    vondrel::WineRegistry registry(vondrel::WineRegistry::prefixFromEnvironment());
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
        if (!window->grab().save(parser.value(screenshot), "PNG")) {
            std::fprintf(stderr, "vondrel: cannot write %s\n",
                         qPrintable(parser.value(screenshot)));
            return 1;
        }
        return 0;
    }
    chooser.setParent(window.get());
    QObject::connect(window.get(), &vondrel::MainWindow::exitConfirmed, &app, &QApplication::quit);
    return app.exec();
}
