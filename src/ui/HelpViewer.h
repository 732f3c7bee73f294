#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>
#include <QWidget>
#include <memory>
#include <optional>

struct chmFile;
class QToolButton;

namespace vondrel {

// A compiled HTML help file (.chm), read with chmlib. Paths inside the file are absolute
// and start with "/", e.g. "/index.html" or "/images/logo.png"; chmlib compares them
// without regard to case.
class ChmFile {
  public:
    ChmFile() = default;
    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Opens `path`; false when the file is missing or is no compiled help file. Any file
    // opened before is closed first.
    bool open(const QString& path);
    void close();
    bool isOpen() const { return handle_ != nullptr; }
    const QString& fileName() const { return fileName_; }

    bool contains(const QString& internalPath) const;
    // The whole entry, or nothing when it does not exist or cannot be read.
    std::optional<QByteArray> read(const QString& internalPath) const;
    // Every normal entry of the file (pages, pictures, stylesheets), without the
    // compiler's own bookkeeping entries ("/#SYSTEM", "::DataSpace/...", "/$WWKeywordLinks/...").
    QStringList entries() const;
    // The page the file opens at: entry 2 of "/#SYSTEM" when the file names one that
    // exists, else "/index.html".
    QString defaultTopic() const;

  private:
    chmFile* handle_ = nullptr;
    QString fileName_;
};

// The text view of the help window. Every page, picture and stylesheet comes out of the
// help file; links are "chm:" addresses relative to the page that holds them.
class ChmBrowser : public QTextBrowser {
    Q_OBJECT
  public:
    explicit ChmBrowser(const ChmFile& file, QWidget* parent = nullptr);

    // The address of an entry, e.g. "/index.html" -> chm:/index.html.
    static QUrl urlFor(const QString& internalPath);
    // The entry behind an address, relative ones taken against the shown page.
    QString internalPathFor(const QUrl& url) const;

    QVariant loadResource(int type, const QUrl& name) override;

  private:
    const ChmFile& file_;
};

// The window "Vondrel Help": Back, Forward and Home above the pages of one help file.
class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;

    // Opens the help file; false (and nothing shown) when it cannot be read.
    bool openFile(const QString& path);
    // Shows `internalPath`, or the file's start page when it is empty or not in the file.
    void showTopic(const QString& internalPath = QString());
    void showHome();

    const ChmFile& file() const { return file_; }
    ChmBrowser* browser() const { return browser_; }
    QToolButton* backButton() const { return back_; }
    QToolButton* forwardButton() const { return forward_; }
    QToolButton* homeButton() const { return home_; }
    // The entry now shown, e.g. "/jobs.html".
    QString currentPage() const;

  private:
    ChmFile file_;
    ChmBrowser* browser_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    QToolButton* home_ = nullptr;
};

}  // namespace vondrel
