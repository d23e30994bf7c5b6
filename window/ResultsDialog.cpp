#include "window/ResultsDialog.h"

#include "base/PrintableText.h"
#include "report/Results.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { C_FINDING, C_RESULT, C_CLASSES };

QString verdictColour(Findings::Verdict verdict)
{
    switch (verdict) {
    case Findings::V_DOES_NOT_CONFORM:
        return "#b00020";
    case Findings::V_INCOMPLETE:
        return "#8a5a00";
    case Findings::V_CONFORMS:
        break;
    }
    return "#1b5e20";
}

// Where the class makes the finding, under the class.
void addOrigins(QTreeWidgetItem &user, const DependencyOrigins &origins)
{
    for (const DependencyOrigins::Origin &origin : origins.getKept())
        (new QTreeWidgetItem(&user))
            ->setText(C_FINDING, PrintableText::escape(DependencyOrigins::describe(origin)));
    if (origins.getMore() > 0) {
        (new QTreeWidgetItem(&user))
            ->setText(C_FINDING, "and " + countOf(origins.getMore(), "more use", "more uses"));
    }
}

QTreeWidgetItem *findingItem(const Findings::Finding &finding)
{
    auto *item = new QTreeWidgetItem;
    item->setText(C_FINDING, PrintableText::escape(finding.text));
    item->setText(C_RESULT, finding.score == R_FAIL ? "FAIL" : "INSPECT");
    item->setText(C_CLASSES, QString::number(finding.classes.size()));
    item->setTextAlignment(C_CLASSES, Qt::AlignRight | Qt::AlignVCenter);
    if (!finding.cause.isEmpty()) {
        // What the finding is, for the filter: a cause that matches shows its finding whole.
        item->setData(C_FINDING, Qt::UserRole, finding.cause);
        auto *cause = new QTreeWidgetItem(item);
        cause->setText(C_FINDING, "Cause: " + PrintableText::escape(finding.cause));
        QFont italic = cause->font(C_FINDING);
        italic.setItalic(true);
        cause->setFont(C_FINDING, italic);
    }
    for (int i = 0; i < finding.classes.size(); ++i) {
        auto *user = new QTreeWidgetItem(item);
        user->setText(C_FINDING, PrintableText::escape(finding.classText(i)));
        if (i < finding.origins.size())
            addOrigins(*user, finding.origins.at(i));
    }
    return item;
}

// The output of that label, or one that was not written.
RunOutputs::File fileOf(const QList<RunOutputs::File> &files, const QString &label)
{
    for (const RunOutputs::File &file : files) {
        if (file.label == label)
            return file;
    }
    return {};
}

bool matches(const QTreeWidgetItem &item, const QString &text)
{
    for (int column = 0; column < item.columnCount(); ++column) {
        if (item.text(column).contains(text, Qt::CaseInsensitive))
            return true;
    }
    return item.data(C_FINDING, Qt::UserRole).toString().contains(text, Qt::CaseInsensitive);
}

// The tree is the dialog's own and a few levels deep. An item stays visible when it contains the
// text, sits below one that does, or holds one that does; the last are opened to show it.
// Returns whether the item or something below it contains the text.
bool filterItem(QTreeWidgetItem &item, const QString &text, bool aboveMatched)
{
    const bool own = !text.isEmpty() && matches(item, text);
    bool below = false;
    for (int i = 0; i < item.childCount(); ++i)
        below = filterItem(*item.child(i), text, aboveMatched || own) || below;
    item.setHidden(!text.isEmpty() && !aboveMatched && !own && !below);
    item.setExpanded(below);
    return own || below;
}

// A tree view asks its delegate for a row's height without saying how wide the column is, so a
// wrapped text would keep the height of one line: this delegate tells the width it is drawn in.
class WrappingDelegate : public QStyledItemDelegate
{
public:
    explicit WrappingDelegate(QTreeView &view)
        : QStyledItemDelegate(&view)
        , view(view)
    {
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem within(option);
        // The style wraps only within a valid rectangle; the height is what it works out.
        within.rect = QRect(0, 0, widthOf(index), 1);
        return QStyledItemDelegate::sizeHint(within, index);
    }

private:
    int widthOf(const QModelIndex &index) const
    {
        int width = view.header()->sectionSize(index.column());
        if (index.column() == 0) {
            for (QModelIndex above = index; above.isValid(); above = above.parent())
                width -= view.indentation();
        }
        return std::max(width, 1);
    }

    QTreeView &view;
};

} // namespace

ResultsDialog::ResultsDialog(const Tests::Outcome &outcome, QWidget *parent)
    : QDialog(parent)
    , tree(new QTreeWidget(this))
    , filter(new QLineEdit(this))
{
    setObjectName("ResultsDialog");
    setWindowTitle(tr("Results of the %1").arg(outcome.title));
    new QVBoxLayout(this);
    addHeader(outcome);
    addNotRead(outcome.findings);
    if (!outcome.frameworkHint.isEmpty())
        addLabel("frameworkHint", outcome.frameworkHint);
    addTree(outcome.findings);
    addButtons(outcome.files);
    resize(900, 640);
}

QLabel *ResultsDialog::addLabel(const QString &objectName, const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(objectName);
    // Texts from class files are never taken for markup.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout()->addWidget(label);
    return label;
}

void ResultsDialog::addHeader(const Tests::Outcome &outcome)
{
    const Findings &findings = outcome.findings;
    QLabel *verdict = addLabel("verdict", tr("Verdict: %1").arg(findings.getVerdictLine()));
    verdict->setStyleSheet(
        QString("font-weight: bold; color: %1").arg(verdictColour(findings.getVerdict())));
    addLabel("counts",
             tr("Results: %1\nClasses checked: %2")
                 .arg(findings.getCountsText(), findings.getClassesCheckedText()));
}

void ResultsDialog::addNotRead(const Findings &findings)
{
    const QList<QStringList> &inputs = findings.getUnreadInputs();
    if (inputs.isEmpty())
        return;
    QStringList lines { tr("Not read, so never checked:") };
    for (int i = 0; i < inputs.size() && i < maxInputs; ++i) {
        lines << "    " + PrintableText::escape(inputs.at(i).first());
        for (const QString &reason : inputs.at(i).mid(1))
            lines << "        " + PrintableText::escape(reason);
    }
    if (inputs.size() > maxInputs)
        lines << tr("    and %1 more in results.txt").arg(inputs.size() - maxInputs);
    addLabel("notRead", lines.join('\n'))->setStyleSheet("color: #8a5a00");
}

void ResultsDialog::addTree(const Findings &findings)
{
    filter->setObjectName("filter");
    filter->setPlaceholderText(tr("Filter: a class, package, member or cause"));
    filter->setClearButtonEnabled(true);
    connect(filter, &QLineEdit::textChanged, this, &ResultsDialog::applyFilter);
    layout()->addWidget(filter);

    tree->setObjectName("findings");
    tree->setHeaderLabels({ tr("Finding"), tr("Result"), tr("Classes") });
    // A descriptor of many parameters or a long path is wider than any screen: wrapped, it is
    // read whole where it stands, instead of cut off or scrolled to.
    tree->setWordWrap(true);
    tree->setTextElideMode(Qt::ElideNone);
    tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tree->setItemDelegate(new WrappingDelegate(*tree));
    connect(tree->header(), &QHeaderView::sectionResized, tree, &QTreeView::doItemsLayout);
    // Failures first, each kind in the findings' own order: most classes first.
    QList<Findings::Finding> ordered = findings.getFindings();
    std::stable_partition(ordered.begin(), ordered.end(), [](const Findings::Finding &finding) {
        return finding.score == R_FAIL;
    });
    QList<QTreeWidgetItem *> items;
    for (const Findings::Finding &finding : ordered)
        items << findingItem(finding);
    tree->addTopLevelItems(items);
    tree->header()->setStretchLastSection(false);
    tree->header()->setSectionResizeMode(C_FINDING, QHeaderView::Stretch);
    tree->header()->setSectionResizeMode(C_RESULT, QHeaderView::ResizeToContents);
    tree->header()->setSectionResizeMode(C_CLASSES, QHeaderView::ResizeToContents);
    layout()->addWidget(tree);
}

void ResultsDialog::addButtons(const QList<RunOutputs::File> &files)
{
    auto *row = new QHBoxLayout;
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    row->addWidget(
        addOpenButton("openHtml", tr("Open results.html"), fileOf(files, "Results page")));
    row->addWidget(
        addOpenButton("openText", tr("Open results.txt"), fileOf(files, "Results file")));
    row->addWidget(addOpenButton("openLog", tr("Open log.txt"), fileOf(files, "Log file")));
    row->addStretch();
    auto *close = new QPushButton(tr("Close"), this);
    close->setObjectName("close");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(close);
}

QPushButton *ResultsDialog::addOpenButton(const QString &objectName,
                                          const QString &text,
                                          const RunOutputs::File &file)
{
    auto *button = new QPushButton(text, this);
    button->setObjectName(objectName);
    button->setToolTip(file.path);
    // A file the run did not write is not its own to open, even where an earlier one is left.
    button->setEnabled(file.written);
    const QString path = file.path;
    connect(button, &QPushButton::clicked, this, [path] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    });
    return button;
}

void ResultsDialog::applyFilter(const QString &text)
{
    const QString wanted = text.trimmed();
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        filterItem(*tree->topLevelItem(i), wanted, false);
}
