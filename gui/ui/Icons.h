#pragma once
// Icons drawn by us: the tree's folders and resource kinds, and the
// toolbar's commands.

#include <QIcon>

namespace quillon::gui {

enum class IconKind { ClosedFolder, OpenFolder, Dialog, Menu, StringTable, Version, NewFile, OpenFile, SaveFile,
                      Translate, AutoTranslate, Build, About, Application };

QIcon MakeIcon(IconKind kind);

} // namespace quillon::gui
