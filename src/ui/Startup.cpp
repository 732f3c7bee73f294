#include "ui/Startup.h"

#include <QDir>
#include <QImage>

#include "base/Cp1252.h"
#include "gamedata/GameFolder.h"
#include "gamedata/PersonLoader.h"

namespace vondrel {
namespace {

// Shows what the loader reports: the splash progress, the error boxes and the portraits.
class WindowLoadSink : public LoadSink {
  public:
    WindowLoadSink(MainWindow& window, SplashWindow& splash, MessageBoxes& messages)
        : window_(window), splash_(splash), messages_(messages) {}

    void begin(int maximum) override {
        splash_.prgProgress->setMaximum(maximum);
        splash_.prgProgress->setValue(0);
    }
    void advance(int amount) override {
        splash_.prgProgress->setValue(splash_.prgProgress->value() + amount);
        if (splash_.isVisible())
            splash_.prgProgress->repaint();
    }
    void message(const std::string& text) override {
        messages_.show(text, MessageIcon::Critical, MessageButtons::Ok);
    }
    void image(const std::string& key, const std::optional<Bytes>& portrait) override {
        QPixmap face;
        if (portrait) {
            face.loadFromData(portrait->data(), static_cast<uint>(portrait->size()), "BMP");
        }
        // A portrait that cannot be decoded shows the placeholder too.
        if (face.isNull())
            face = window_.pctUnknown;
        window_.imgFaces.add(face, QString::fromStdString(key));
    }

  private:
    MainWindow& window_;
    SplashWindow& splash_;
    MessageBoxes& messages_;
};

std::optional<std::string> findGameFolder(PlatformServices& services, const StartOptions& options) {
    DiscoveryServices discovery{services.registry, services.settings, services.picker,
                                services.messages};
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

std::unique_ptr<MainWindow> startUp(WindowState& state, PlatformServices& services,
                                    const StartOptions& options, SplashWindow& splash) {
    const StringTable& strings = StringTable::builtIn();
    splash.lblVersion->setText(versionText());
    splash.lblWait->setText(QString::fromStdString(strings.text(text::Initializing)));
    splash.show();
    splash.repaint();

    auto window = std::make_unique<MainWindow>(state, services.messages, strings);
    window->setHelpOpener(services.help);
    window->setCaptions();
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));
    state.Saved = false;
    state.TempPath = QDir::toNativeSeparators(QDir::tempPath() + QLatin1Char('/')).toStdString();

    const std::optional<std::string> gamePath = findGameFolder(services, options);
    if (!gamePath)
        return nullptr;
    state.GamePath = *gamePath;

    WindowLoadSink sink(*window, splash, services.messages);
    GameFolderLoad load = loadGameFolder(state.GamePath, state.persons, sink, strings);
    if (load.status != LoadStatus::Loaded)
        return nullptr;
    for (const PickerEntry& e : load.entries)
        window->imcFaces->addEntry(QString::fromStdString(cp1252ToUtf8(e.text)), e.imageNumber);
    window->saver =
        std::make_unique<NeighborhoodSaver>(load.neighborhoodPath, std::move(load.neighborhood));

    splash.setStatus(QString::fromStdString(strings.text(text::Initializing)));
    for (int i = 1; i <= 12; ++i)
        window->imcJobIcon->addEntry(QString(), i);
    splash.setStatus(QString::fromStdString(strings.text(text::PleaseWait)));
    window->show();
    splash.hide();

    // The first person is on screen when start-up ends.
    if (window->imcFaces->count() > 0) {
        window->imcFaces->select(1);
        window->personChosen();
    }
    return window;
}

}  // namespace vondrel
