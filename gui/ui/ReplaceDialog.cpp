#include "ui/ReplaceDialog.h"

#include <QAbstractTextDocumentLayout>
#include <QBoxLayout>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QTextDocument>

#include "controls/TextBridge.h"
#include "ui/QuillonDoc.h"

namespace quillon::gui {

namespace {

// Paints a cell's HighlightRole rich text where it has one.
class HighlightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QString html = index.data(CReplaceDialog::HighlightRole).toString();
        if (html.isEmpty()) return QStyledItemDelegate::paint(painter, option, index);
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text.clear();
        cell.widget->style()->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);
        QTextDocument text;
        text.setDocumentMargin(2);
        text.setDefaultFont(cell.font);
        text.setHtml(html);
        painter->save();
        painter->translate(cell.rect.topLeft());
        QRect area(0, 0, cell.rect.width(), cell.rect.height());
        painter->setClipRect(area);
        QAbstractTextDocumentLayout::PaintContext context;
        context.palette.setColor(QPalette::Text, cell.palette.color(cell.state & QStyle::State_Selected
                                                                        ? QPalette::HighlightedText
                                                                        : QPalette::Text));
        context.clip = area;
        text.documentLayout()->draw(painter, context);
        painter->restore();
    }
};

// The segments as rich text, the matches (or their replacements) marked.
QString Highlighted(const ReplaceRow& row, bool after, const CodePage& codePage) {
    QString html;
    for (const ReplaceSegment& segment : row.segments) {
        QString text = ToQt(after && segment.replaced ? segment.replacement : segment.text, codePage).toHtmlEscaped();
        html += segment.replaced ? QStringLiteral("<span style=\"background-color:#ffd966\">%1</span>").arg(text)
                                 : text;
    }
    return QStringLiteral("<span style=\"white-space:pre\">%1</span>").arg(html);
}

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString ChecksText(const ReplaceRow& row) {
    switch (row.outcome) {
    case ReplaceOutcome::Replaced: break;
    case ReplaceOutcome::Unencodable:
        return CReplaceDialog::tr("Left out: characters the project's code page cannot hold");
    case ReplaceOutcome::Emptied: return CReplaceDialog::tr("Left out: nothing would be left");
    }
    QStringList lines;
    for (const Finding& finding : row.findings)
        lines << QStringLiteral("%1 [%2] %3")
                     .arg(Utf8(SeverityName(finding.severity)), Utf8(InfoOf(finding.code).name),
                          QString::fromStdString(finding.message));
    return lines.join('\n');
}

} // namespace

CReplaceDialog::CReplaceDialog(CQuillonDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_find(new QLineEdit(this)), m_with(new QLineEdit(this)),
      m_table(new QTableWidget(0, ColumnCount, this)), m_summary(new QLabel(this)) {
    setObjectName("ReplaceDialog");
    setWindowTitle(tr("Replace in Translations"));
    m_find->setObjectName("findText");
    m_with->setObjectName("replaceText");
    m_with->setPlaceholderText(tr("\\n, \\t and \\\\ as in the list; $1 for a group of a regular expression"));
    auto* form = new QFormLayout;
    auto* findLabel = new QLabel(tr("S&earch for:"), this);
    findLabel->setBuddy(m_find);
    auto* withLabel = new QLabel(tr("Re&place with:"), this);
    withLabel->setBuddy(m_with);
    form->addRow(findLabel, m_find);
    form->addRow(withLabel, m_with);
    auto* options = new QHBoxLayout;
    m_matchCase = new QCheckBox(tr("Match &case"), this);
    m_wholeWord = new QCheckBox(tr("&Whole word"), this);
    m_regularExpression = new QCheckBox(tr("Regular e&xpression"), this);
    m_wholeProject = new QRadioButton(tr("Whole pro&ject"), this);
    m_selectedResource = new QRadioButton(tr("Selected resource"), this);
    m_wholeProject->setChecked(true);
    for (QWidget* box : std::initializer_list<QWidget*>{m_matchCase, m_wholeWord, m_regularExpression, m_wholeProject,
                                                        m_selectedResource})
        options->addWidget(box);
    options->addStretch(1);
    m_table->setObjectName("replacePreview");
    m_table->setHorizontalHeaderLabels({tr("Item"), tr("Before"), tr("After"), tr("Checks")});
    m_table->setItemDelegate(new HighlightDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* buttons = new QDialogButtonBox(this);
    auto* preview = buttons->addButton(tr("&Find"), QDialogButtonBox::ActionRole);
    // No accept role: the box would make it the default button, which Enter in a field presses.
    m_replace = buttons->addButton(tr("&Replace"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    // Enter in a field finds; only the Replace button applies.
    for (QPushButton* button : {preview, m_replace, close}) button->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(options);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);
    resize(900, 480);

    connect(preview, &QPushButton::clicked, this, &CReplaceDialog::RefreshPreview);
    connect(m_find, &QLineEdit::returnPressed, this, &CReplaceDialog::RefreshPreview);
    connect(m_with, &QLineEdit::returnPressed, this, &CReplaceDialog::RefreshPreview);
    connect(m_replace, &QPushButton::clicked, this, &CReplaceDialog::ReplaceChosen);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemChanged, this, &CReplaceDialog::UpdateReplaceButton);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this, &CReplaceDialog::SizeRowsInView);
    m_table->viewport()->installEventFilter(this); // a taller list shows more rows
    // The rows point into the project: any change there makes them stale.
    connect(&m_doc, &CQuillonDoc::itemsChanged, this, &CReplaceDialog::ClearRows);
    connect(&m_doc, &CQuillonDoc::projectAboutToChange, this, [this] {
        ClearRows();
        SetScope(nullptr, {});
    });
    SetScope(nullptr, {});
    UpdateReplaceButton();
}

void CReplaceDialog::SetScope(const CResourceItem* node, const QString& name) {
    m_scope = node;
    m_selectedResource->setEnabled(node != nullptr);
    m_selectedResource->setText(node ? tr("&Selected resource (%1)").arg(name) : tr("&Selected resource"));
    if (!node) m_wholeProject->setChecked(true);
}

void CReplaceDialog::ClearRows() {
    m_rows.clear();
    m_rowSized.clear();
    m_table->setRowCount(0);
    m_summary->clear();
    UpdateReplaceButton();
}

bool CReplaceDialog::RefreshPreview() {
    ClearRows();
    if (!m_doc.IsLoaded()) return false;
    FindOptions options{m_matchCase->isChecked(), m_wholeWord->isChecked(), m_regularExpression->isChecked()};
    auto matcher = TextMatcher::Compile(m_find->text().toStdString(), m_with->text().toStdString(), options);
    if (!matcher) {
        m_summary->setText(tr("Cannot search: %1 (at %2)")
                               .arg(QString::fromStdString(matcher.GetError().message))
                               .arg(matcher.GetError().offset));
        return false;
    }
    const CResourceItem* scope = m_selectedResource->isChecked() ? m_scope : nullptr;
    m_rows = PlanReplace(m_doc.Project(), matcher.Value(), scope);
    const QSignalBlocker blocker(m_table);
    m_table->setRowCount(int(m_rows.size()));
    for (int row = 0; row < int(m_rows.size()); ++row) FillRow(row, m_rows[row]);
    m_rowSized.assign(m_rows.size(), false);
    SizeRowsInView();
    m_summary->setText(m_rows.empty() ? tr("Not found.") : tr("Found in %n items.", nullptr, int(m_rows.size())));
    UpdateReplaceButton();
    return true;
}

void CReplaceDialog::FillRow(int row, const ReplaceRow& plan) {
    const CodePage& codePage = m_doc.GetCodePage();
    auto* address = new QTableWidgetItem(QString::fromStdString(plan.path));
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (plan.outcome == ReplaceOutcome::Replaced) flags |= Qt::ItemIsUserCheckable;
    address->setFlags(flags);
    address->setCheckState(plan.chosen ? Qt::Checked : Qt::Unchecked);
    m_table->setItem(row, ColumnItem, address);
    for (bool after : {false, true}) {
        auto* cell = new QTableWidgetItem(ToQt(after ? plan.After() : plan.Before(), codePage));
        cell->setData(HighlightRole, Highlighted(plan, after, codePage));
        cell->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        m_table->setItem(row, after ? ColumnAfter : ColumnBefore, cell);
    }
    auto* checks = new QTableWidgetItem(ChecksText(plan));
    checks->setToolTip(checks->text());
    checks->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    m_table->setItem(row, ColumnChecks, checks);
}

// A row takes the height of its texts (the checks can run to several lines)
// when it comes into view: measuring every row of a Replace across a large
// project took five of its seven seconds.
void CReplaceDialog::SizeRowsInView() {
    const int height = m_table->viewport()->height();
    for (int row = std::max(0, m_table->rowAt(0)); row < int(m_rowSized.size()); ++row) {
        if (m_table->rowViewportPosition(row) >= height) break;
        if (m_rowSized[row]) continue;
        m_rowSized[row] = true;
        m_table->resizeRowToContents(row);
    }
}

bool CReplaceDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table->viewport() && event->type() == QEvent::Resize) SizeRowsInView();
    return QDialog::eventFilter(watched, event);
}

void CReplaceDialog::UpdateReplaceButton() {
    bool any = false;
    for (int row = 0; row < m_table->rowCount() && !any; ++row)
        any = m_table->item(row, ColumnItem)->checkState() == Qt::Checked;
    m_replace->setEnabled(any);
}

int CReplaceDialog::ReplaceChosen() {
    for (int row = 0; row < int(m_rows.size()); ++row)
        m_rows[row].chosen = m_table->item(row, ColumnItem)->checkState() == Qt::Checked;
    ProjectChange change = ReplacementChange(m_rows, QT_TRANSLATE_NOOP("ProjectChange", "Replace in Translations"));
    int replaced = int(change.ItemEdits().size());
    m_doc.Apply(std::move(change)); // clears the rows: they are stale now
    RefreshPreview();
    m_summary->setText(tr("Replaced in %n items.", nullptr, int(replaced)));
    return replaced;
}

} // namespace quillon::gui
