#include "ui/ItemPreview.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>

#include "controls/TextBridge.h"

namespace quillon::gui {

CItemPreview::CItemPreview(QWidget* parent)
    : QWidget(parent), m_source(new QPlainTextEdit(this)), m_translation(new QPlainTextEdit(this)) {
    setObjectName("ItemPreview");
    m_source->setObjectName("previewSource");
    m_translation->setObjectName("previewTranslation");
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->addWidget(new QLabel(tr("Source"), this), 0, 0);
    layout->addWidget(new QLabel(tr("Translated"), this), 0, 1);
    for (QPlainTextEdit* view : {m_source, m_translation}) {
        view->setReadOnly(true);
        view->setFocusPolicy(Qt::ClickFocus); // Tab stays among the list and the filter
    }
    layout->addWidget(m_source, 1, 0);
    layout->addWidget(m_translation, 1, 1);
}

// An untranslated item holds its source as its translation: that is not shown as one.
void CItemPreview::ShowItem(const CResourceItem* item, const CodePage& codePage) {
    m_source->setPlainText(item ? ReadableText(item->GetText(), codePage) : QString());
    m_translation->setPlainText(item && item->IsTranslated() ? ReadableText(item->GetTranslation(), codePage) : QString());
}

} // namespace quillon::gui
