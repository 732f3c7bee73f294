#include "ui/HelpViewer.h"

#include <chm_lib.h>

#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QImage>
#include <QShortcut>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace vondrel {

namespace {

constexpr const char* kScheme = "chm";
constexpr int kDefaultTopicCode = 2;

QString withLeadingSlash(QString path) {
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    return path;
}

// The program's opaque pictures (the career icons) mark their background with magenta, as
// its image lists do; the help shows them the same way, with that colour see-through.
QImage withKeyColourClear(QImage image) {
    if (image.hasAlphaChannel())
        return image;
    constexpr QRgb key = qRgb(255, 0, 255);
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return image;
}

int collectEntry(chmFile*, chmUnitInfo* ui, void* context) {
    static_cast<QStringList*>(context)->append(QString::fromUtf8(ui->path));
    return CHM_ENUMERATOR_CONTINUE;
}

}  // namespace

// --- ChmFile ----------------------------------------------------------------------------

ChmFile::~ChmFile() {
    close();
}

bool ChmFile::open(const QString& path) {
    close();
    const QByteArray native = QFile::encodeName(path);
    handle_ = chm_open(native.constData());
    if (handle_ != nullptr)
        fileName_ = path;
    return handle_ != nullptr;
}

void ChmFile::close() {
    if (handle_ != nullptr)
        chm_close(handle_);
    handle_ = nullptr;
    fileName_.clear();
}

bool ChmFile::contains(const QString& internalPath) const {
    if (handle_ == nullptr || internalPath.isEmpty())
        return false;
    chmUnitInfo ui{};
    const QByteArray name = internalPath.toUtf8();
    return chm_resolve_object(handle_, name.constData(), &ui) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmFile::read(const QString& internalPath) const {
    if (handle_ == nullptr || internalPath.isEmpty())
        return std::nullopt;
    chmUnitInfo ui{};
    const QByteArray name = internalPath.toUtf8();
    if (chm_resolve_object(handle_, name.constData(), &ui) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    // A help file's pages and pictures are small; anything that claims to be huge is damage.
    if (ui.length > static_cast<LONGUINT64>(std::numeric_limits<int>::max() / 2))
        return std::nullopt;
    QByteArray data(static_cast<qsizetype>(ui.length), Qt::Uninitialized);
    if (ui.length == 0)
        return data;
    const LONGINT64 got =
        chm_retrieve_object(handle_, &ui, reinterpret_cast<unsigned char*>(data.data()), 0,
                            static_cast<LONGINT64>(ui.length));
    if (got != static_cast<LONGINT64>(ui.length))
        return std::nullopt;
    return data;
}

QStringList ChmFile::entries() const {
    QStringList found;
    if (handle_ != nullptr) {
        chm_enumerate(handle_, CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, &collectEntry, &found);
    }
    return found;
}

QString ChmFile::defaultTopic() const {
    const QString fallback = QStringLiteral("/index.html");
    const std::optional<QByteArray> system = read(QStringLiteral("/#SYSTEM"));
    if (!system)
        return fallback;
    // A 4-byte version, then records of a 2-byte code, a 2-byte length and the data.
    const auto byteAt = [&](qsizetype i) { return static_cast<unsigned char>(system->at(i)); };
    qsizetype pos = 4;
    while (pos + 4 <= system->size()) {
        const int code = byteAt(pos) | (byteAt(pos + 1) << 8);
        const int length = byteAt(pos + 2) | (byteAt(pos + 3) << 8);
        const qsizetype data = pos + 4;
        if (data + length > system->size())
            break;
        if (code == kDefaultTopicCode) {
            QByteArray text = system->mid(data, length);
            if (const qsizetype nul = text.indexOf('\0'); nul >= 0)
                text.truncate(nul);
            const QString topic = withLeadingSlash(QString::fromUtf8(text));
            if (text.isEmpty() || !contains(topic))
                return fallback;
            return topic;
        }
        pos = data + length;
    }
    return fallback;
}

// --- ChmBrowser -------------------------------------------------------------------------

ChmBrowser::ChmBrowser(const ChmFile& file, QWidget* parent) : QTextBrowser(parent), file_(file) {
    setOpenExternalLinks(false);
    setOpenLinks(true);
}

QUrl ChmBrowser::urlFor(const QString& internalPath) {
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setPath(withLeadingSlash(internalPath));
    return url;
}

QString ChmBrowser::internalPathFor(const QUrl& url) const {
    QUrl absolute = url;
    if (url.isRelative()) {
        QUrl base = source();
        if (base.isEmpty() || base.scheme() != QLatin1String(kScheme))
            base = urlFor(QStringLiteral("/"));
        absolute = base.resolved(url);
    }
    if (absolute.scheme() != QLatin1String(kScheme))
        return QString();
    return withLeadingSlash(absolute.path(QUrl::FullyDecoded));
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    const QString path = internalPathFor(name);
    if (path.isEmpty())
        return QVariant();
    const std::optional<QByteArray> data = file_.read(path);
    if (!data)
        return QVariant();
    switch (type) {
        case QTextDocument::HtmlResource:
        case QTextDocument::StyleSheetResource:
        case QTextDocument::MarkdownResource:
            return QString::fromUtf8(*data);
        case QTextDocument::ImageResource: {
            QImage image;
            if (!image.loadFromData(*data))
                return QVariant();
            return withKeyColourClear(image);
        }
        default:
            return *data;
    }
}

// --- HelpViewer -------------------------------------------------------------------------

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Vondrel Help"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/pictures/icon.png")));
    setObjectName(QStringLiteral("HelpViewer"));
    // Escape closes the help, as it closes a dialog.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    const auto makeButton = [this](const QString& text, QStyle::StandardPixmap icon) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setIcon(style()->standardIcon(icon));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        return button;
    };
    back_ = makeButton(QStringLiteral("Back"), QStyle::SP_ArrowBack);
    forward_ = makeButton(QStringLiteral("Forward"), QStyle::SP_ArrowForward);
    home_ = makeButton(QStringLiteral("Home"), QStyle::SP_DirHomeIcon);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    home_->setEnabled(false);

    browser_ = new ChmBrowser(file_, this);
    browser_->setFrameShape(QFrame::NoFrame);
    browser_->document()->setDocumentMargin(14);

    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("helpToolbar"));
    bar->setAutoFillBackground(true);
    QPalette barPalette = bar->palette();
    barPalette.setColor(QPalette::Window, QColor(7, 0, 128));
    barPalette.setColor(QPalette::ButtonText, Qt::white);
    barPalette.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(barPalette);
    auto* buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(6, 4, 6, 4);
    buttons->setSpacing(4);
    for (QToolButton* b : {back_, forward_, home_}) {
        b->setParent(bar);
        b->setPalette(barPalette);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_, 1);

    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, &HelpViewer::showHome);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);

    resize(720, 560);
}

HelpViewer::~HelpViewer() = default;

bool HelpViewer::openFile(const QString& path) {
    browser_->clearHistory();
    browser_->clear();
    const bool opened = file_.open(path);
    home_->setEnabled(opened);
    return opened;
}

void HelpViewer::showTopic(const QString& internalPath) {
    if (!file_.isOpen())
        return;
    QString page = internalPath.isEmpty() ? QString() : withLeadingSlash(internalPath);
    if (page.isEmpty() || !file_.contains(page))
        page = file_.defaultTopic();
    browser_->setSource(ChmBrowser::urlFor(page));
}

void HelpViewer::showHome() {
    showTopic();
}

QString HelpViewer::currentPage() const {
    const QUrl shown = browser_->source();
    if (shown.isEmpty())
        return QString();
    return withLeadingSlash(shown.path(QUrl::FullyDecoded));
}

}  // namespace vondrel
