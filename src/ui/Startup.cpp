#include "ui/Startup.h"

#include <QElapsedTimer>
#include <QImage>
#include <QStandardPaths>

#include "gamedata/GameFolder.h"
#include "gamedata/PersonLoader.h"

namespace vondrel {
namespace {

// Shows what the loader reports: the splash progress, the error boxes and the portraits.
class WindowLoadSink : public LoadSink {
  public:
    WindowLoadSink(MainWindow& window, SplashWindow* splash, MessageBoxes& messages)
        : window_(window), splash_(splash), messages_(messages) {}

    void begin(int maximum) override {
        if (!splash_)
            return;
        splash_->prgProgress->setMaximum(maximum);
        splash_->prgProgress->setValue(0);
    }
    void advance(int amount) override {
        if (!splash_)
            return;
        splash_->prgProgress->setValue(splash_->prgProgress->value() + amount);
        // Drawn at once, as no event loop runs while loading, but not more often than a
        // screen shows it: a load of hundreds of files would spend longer drawing than reading.
        if (splash_->isVisible() && (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= 15)) {
            splash_->prgProgress->repaint();
            sinceRepaint_.start();
        }
    }
    void message(const std::string& text) override {
        messages_.show(text, MessageIcon::Critical, MessageButtons::Ok);
    }
    void image(const std::string& key, const std::optional<Bytes>& portrait) override {
        // Decoded straight into the picture the list keeps.
        QImage face;
        if (portrait)
            face = QImage::fromData(portrait->data(), static_cast<int>(portrait->size()), "BMP");
        // A portrait that cannot be decoded shows the placeholder too.
        if (face.isNull()) {
            window_.faces().add(skinPicture("unknown_face"), QString::fromStdString(key));
            return;
        }
        window_.faces().add(std::move(face), QString::fromStdString(key));
    }

  private:
    MainWindow& window_;
    SplashWindow* splash_;
    MessageBoxes& messages_;
    QElapsedTimer sinceRepaint_;
};

std::optional<std::string> findGameFolder(PlatformServices& services, const StartOptions& options) {
    DiscoveryServices discovery{services.registry, services.settings,        services.picker,
                                services.messages, services.otherRegistries, services.browseStart};
    if (options.gameDir) {
        // A folder named on the command line is used for this run only and never remembered;
        // without the game in it the folder dialog asks as usual.
        if (holdsGame(*options.gameDir))
            return withTrailingSeparator(*options.gameDir);
        return BrowseGamePath(discovery);
    }
    return discoverGamePath(discovery);
}

}  // namespace

std::filesystem::path defaultBackupRoot() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {};
    return std::filesystem::path(data.toStdU16String()) / "backups";
}

bool loadInto(MainWindow& window, const std::string& gamePath, PlatformServices& services,
              SplashWindow* splash) {
    const StringTable& strings = StringTable::builtIn();
    window.faces().clear();
    WindowLoadSink sink(window, splash, services.messages);
    Persons persons;
    GameFolderLoad load = loadGameFolder(gamePath, persons, sink, strings);
    if (load.status != LoadStatus::Loaded)
        return false;
    window.setHousehold(
        std::make_unique<Household>(load.neighborhoodPath, std::move(load.neighborhood),
                                    std::move(persons), std::move(load.entries)),
        gamePath);
    return true;
}

std::unique_ptr<MainWindow> startUp(PlatformServices& services, const StartOptions& options,
                                    SplashWindow& splash) {
    const StringTable& strings = StringTable::builtIn();
    splash.lblVersion->setText(versionText());
    splash.lblWait->setText(QString::fromStdString(strings.text(text::Initializing)));
    splash.show();
    splash.repaint();

    WindowServices windowServices{services.game, services.help, services.chooser,
                                  services.backupRoot};
    auto window = std::make_unique<MainWindow>(services.messages, windowServices, strings);
    window->setCaptions();
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));

    const std::optional<std::string> gamePath = findGameFolder(services, options);
    if (!gamePath)
        return nullptr;

    // The window is shown only once the first person can be: setHousehold shows them.
    splash.setStatus(QString::fromStdString(strings.text(text::Initializing)));
    if (!loadInto(*window, *gamePath, services, &splash))
        return nullptr;
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));
    window->show();
    splash.hide();

    MainWindow* shown = window.get();
    const std::string folder = *gamePath;
    QObject::connect(shown, &MainWindow::reloadRequested, shown,
                     [shown, folder, &services] { loadInto(*shown, folder, services, nullptr); });
    return window;
}

}  // namespace vondrel
