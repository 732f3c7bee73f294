#include "ui/Startup.h"

#include <QElapsedTimer>
#include <QImage>
#include <QStandardPaths>

#include <future>
#include <system_error>
#include <vector>

#include "gamedata/GameFolder.h"
#include "gamedata/PersonLoader.h"

namespace vondrel {
namespace {

// A portrait's picture, or a null picture when there is none or it cannot be decoded.
QImage decodePortrait(const std::optional<Bytes>& portrait) {
    if (!portrait)
        return {};
    return QImage::fromData(portrait->data(), static_cast<int>(portrait->size()), "BMP");
}

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
        addFace(key, decodePortrait(portrait));
    }
    // Adds the next picture of the portrait list; a null one shows the placeholder face.
    void addFace(const std::string& key, QImage face) {
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

// Keeps what a load on another thread reports, with the portraits decoded there, for the
// window's sink on this thread afterwards.
class RecordingSink : public LoadSink {
  public:
    void begin(int maximum) override { events_.push_back({Event::Begin, maximum}); }
    void advance(int amount) override { events_.push_back({Event::Advance, amount}); }
    void message(const std::string& text) override { events_.push_back({Event::Message, 0, text}); }
    void log(const std::string& text) override { events_.push_back({Event::Log, 0, text}); }
    void image(const std::string& key, const std::optional<Bytes>& portrait) override {
        events_.push_back({Event::Image, 0, key, decodePortrait(portrait)});
    }

    // Tells `sink` everything, in the order the load told it.
    void replay(WindowLoadSink& sink) {
        for (Event& e : events_) {
            switch (e.kind) {
                case Event::Begin:
                    sink.begin(e.amount);
                    break;
                case Event::Advance:
                    sink.advance(e.amount);
                    break;
                case Event::Message:
                    sink.message(e.text);
                    break;
                case Event::Log:
                    sink.log(e.text);
                    break;
                case Event::Image:
                    sink.addFace(e.text, std::move(e.face));
                    break;
            }
        }
        events_.clear();
    }

  private:
    struct Event {
        enum Kind { Begin, Advance, Message, Log, Image } kind;
        int amount = 0;
        std::string text = {};
        QImage face = {};
    };
    std::vector<Event> events_;
};

// Gives the window the household of a load, once the loader's reports have reached `sink`.
bool finishLoad(MainWindow& window, const std::string& gamePath, GameFolderLoad load,
                Persons persons) {
    if (load.status != LoadStatus::Loaded)
        return false;
    window.setHousehold(
        std::make_unique<Household>(load.neighborhoodPath, std::move(load.neighborhood),
                                    std::move(persons), std::move(load.entries)),
        gamePath);
    return true;
}

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
    window.faces().clear();
    WindowLoadSink sink(window, splash, services.messages);
    Persons persons;
    GameFolderLoad load = loadGameFolder(gamePath, persons, sink, StringTable::builtIn());
    return finishLoad(window, gamePath, std::move(load), std::move(persons));
}

std::unique_ptr<MainWindow> startUp(PlatformServices& services, const StartOptions& options,
                                    SplashWindow& splash) {
    const StringTable& strings = StringTable::builtIn();
    splash.lblVersion->setText(versionText());
    splash.lblWait->setText(QString::fromStdString(strings.text(text::Initializing)));
    splash.show();
    splash.repaint();

    // The game folder is found before the window is built, so that the game can be read on
    // other threads while this one builds it and sets its captions; what the load reports
    // reaches the window afterwards, in order. The splash shows the same texts in the same
    // order as when each step waits for the one before: "Initializing..." while the captions
    // are set, "Please wait..." before and after. Without a thread to spare, the load runs once the
    // window is built.
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));
    const std::optional<std::string> gamePath = findGameFolder(services, options);
    if (!gamePath)
        return nullptr;

    Persons persons;
    RecordingSink recorded;
    const auto load = [&] { return loadGameFolder(*gamePath, persons, recorded, strings); };
    std::future<GameFolderLoad> loading;
    try {
        loading = std::async(std::launch::async, load);
    } catch (const std::system_error&) {
        loading = std::async(std::launch::deferred, load);
    }
    splash.setStatus(QString::fromStdString(strings.text(text::Initializing)));
    WindowServices windowServices{services.game, services.help, services.chooser,
                                  services.backupRoot};
    auto window = std::make_unique<MainWindow>(services.messages, windowServices, strings);
    window->setCaptions();
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));
    GameFolderLoad loaded = loading.get();

    // The window is shown only once the first person can be: setHousehold shows them.
    WindowLoadSink sink(*window, &splash, services.messages);
    recorded.replay(sink);
    if (!finishLoad(*window, *gamePath, std::move(loaded), std::move(persons)))
        return nullptr;
    window->show();
    splash.hide();

    MainWindow* shown = window.get();
    const std::string folder = *gamePath;
    QObject::connect(shown, &MainWindow::reloadRequested, shown,
                     [shown, folder, &services] { loadInto(*shown, folder, services, nullptr); });
    return window;
}

}  // namespace vondrel
