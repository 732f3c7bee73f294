#include "ui/JobPanel.h"

#include <QSignalBlocker>

#include "editing/Careers.h"
#include "ui/AttributeBars.h"
#include "ui/Design.h"
#include "ui/SurfaceWidgets.h"

namespace vondrel {
namespace {

const QColor kNavy(7, 0, 128);
// Performance -100..100 sits on the bar shifted by 100.
constexpr int kPerformanceOffset = 100;

}  // namespace

JobPanel::JobPanel(DesignSurface& surface, EditorContext& context)
    : QObject(surface.window()), context_(context) {
    auto* panel = surface.placed<PictureBox>("pctUI(3)");
    panel->setPixmap(skinPicture("panel_job"));
    auto* txtFundo = surface.named(new QLineEdit(panel), "txtFundo");
    txtFundo->setGeometry(design::find("txtFundo")->pixels());
    txtFundo->setReadOnly(true);
    txtFundo->setFocusPolicy(Qt::NoFocus);
    txtFundo->setFrame(false);

    jobCaption_ = surface.text("lblJob", "Job:");
    performanceCaption_ = surface.text("lblPerf", "Perf.:");

    for (int i = 1; i <= 12; ++i) {
        const QString name = QStringLiteral("job_%1").arg(i, 2, 10, QLatin1Char('0'));
        careerIcons_.add(skinPicture(name.toLatin1().constData()));
    }
    careers_ = surface.placed<ImagePicker>("imcJobIcon");
    careers_->setImageList(&careerIcons_);
    careers_->setIconSize(QSize(33, 25));
    careers_->setFont(arialBold(8.25));
    for (int i = 1; i <= 12; ++i)
        careers_->addEntry(QString(), i);
    titles_ = surface.placed<QComboBox>("imcJobs");
    titles_->setFont(arialBold(9));

    performance_ = surface.placed<Gauge>("prgPerf");
    performance_->setMaximum(200);
    performance_->setBackColor(kNavy);
    performance_->setFillColor(QColor(0, 0, 255));
    performance_->setBackPicture(skinPicture("gauge_back"));
    performance_->setCaptionFont(arialBold(9.75));
    performance_->setValue(200);

    connect(careers_, &ImagePicker::userChose, this, [this] {
        const int item = careers_->selectedIndex();
        if (context_.editable() && item >= 1 && item <= static_cast<int>(CareerTitleTable.size()) &&
            context_.household->chooseCareer(
                context_.current, CareerTitleTable[static_cast<std::size_t>(item - 1)].track)) {
            emit edited();
        } else {
            show();
        }
    });
    connect(titles_, &QComboBox::activated, this, [this](int level) {
        if (context_.editable() &&
            context_.household->chooseTitle(context_.current, static_cast<Integer>(level))) {
            emit edited();
        } else {
            show();
        }
    });
    // The word for the shown value; showing a value stores nothing.
    connect(performance_, &Gauge::captionRequested, this, [this](QString& caption, int value) {
        if (const int id = performanceTextId(value))
            caption = context_.text(id);
    });
    connect(performance_, &Gauge::mouseMoved, this, [this](int buttons, int, double x, double) {
        if (buttons != 1) {
            performance_->setPointerShape(Gauge::kDefaultPointer);
            return;
        }
        performance_->setPointerShape(Gauge::kHorizontalResizePointer);
        storePerformance(
            barValueAt(x, static_cast<float>(performance_->width()), performance_->maximum()));
    });
    connect(performance_, &Gauge::keyStep, this, &JobPanel::storePerformance);
    connect(performance_, &Gauge::mouseReleased, this, [this] {
        if (context_.household)
            context_.household->endGesture();
    });
}

void JobPanel::storePerformance(int barValue) {
    performance_->setValue(barValue);
    if (context_.editable() &&
        context_.household->setPerformance(context_.current,
                                           static_cast<Integer>(barValue - kPerformanceOffset))) {
        emit edited();
    }
}

void JobPanel::setCaptions() {
    jobCaption_->setText(context_.text(143));
    fitText(jobCaption_);
    performanceCaption_->setText(context_.text(144));
    fitText(performanceCaption_);
    performance_->setAccessibleName(performanceCaption_->text());
}

void JobPanel::fillTitles(int item) {
    const CareerRow& row = CareerTitleTable[static_cast<std::size_t>(item - 1)];
    const PersonRecord& p = context_.person();
    // The list is built again only for another career or sex, not on every refresh (a drag
    // of the performance bar refreshes the panel at each step).
    if (const int first = titleId(row, p.Sex, 0); first != listedFirstTitle_) {
        titles_->clear();
        for (int level = 0; level < row.titleCount; ++level)
            titles_->addItem(QString::fromStdString(context_.strings.text(first + level)));
        listedFirstTitle_ = first;
    }
    // A level the track does not have selects no title.
    titles_->setCurrentIndex(p.JobLevel >= 0 && p.JobLevel < row.titleCount ? p.JobLevel : -1);
}

void JobPanel::show() {
    const bool editable = context_.editable();
    for (QWidget* w : std::initializer_list<QWidget*>{careers_, titles_, performance_})
        w->setEnabled(editable);
    if (!context_.hasPerson())
        return;
    const QSignalBlocker quietTitles(titles_);
    const PersonRecord& p = context_.person();
    if (const int item = jobItemOfTrack(p.JobTrack)) {
        careers_->select(item);
        fillTitles(item);
    } else {
        // A track the game does not know: nothing is chosen until the player picks one.
        careers_->setText(QString());
        titles_->clear();
        listedFirstTitle_ = 0;
    }
    performance_->setValue(p.JobPerformance + kPerformanceOffset);
}

}  // namespace vondrel
