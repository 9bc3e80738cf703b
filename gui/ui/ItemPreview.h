#pragma once
// The pane under the item list: the current item's source and translation in
// full, their line breaks and tabs as such rather than as escapes.

#include <QWidget>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

class QPlainTextEdit;

namespace quillon::gui {

class CItemPreview : public QWidget {
    Q_OBJECT
public:
    explicit CItemPreview(QWidget* parent = nullptr);
    // Null clears both fields.
    void ShowItem(const CResourceItem* item, const CodePage& codePage);
    QPlainTextEdit* SourceView() const { return m_source; }
    QPlainTextEdit* TranslationView() const { return m_translation; }

private:
    QPlainTextEdit* m_source;
    QPlainTextEdit* m_translation;
};

} // namespace quillon::gui
