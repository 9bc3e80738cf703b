#include "controls/FileDialog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

#include "extract/FileVersion.h"
#include "extract/Languages.h"
#include "extract/ResourceExtractor.h"
#include "io/CodePage.h"
#include "pe/ModuleIcon.h"
#include "pe/ResourceModule.h"
#include "controls/AppSettings.h"

namespace quillon::gui {

// ---- Icon images ----------------------------------------------------------------

namespace {

QImage FromPixels(const IconImage& icon) {
    QImage image(icon.width, icon.height, QImage::Format_ARGB32);
    for (int y = 0; y < icon.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < icon.width; ++x) line[x] = icon.Pixel(x, y);
    }
    return image;
}

// The core read the PNG's header; an image whose body disagrees with it is
// damage all the same.
QImage FromPng(const IconImage& icon) {
    auto data = QByteArray::fromRawData(reinterpret_cast<const char*>(icon.png.data()),
                                        static_cast<qsizetype>(icon.png.size()));
    QImage image = QImage::fromData(data, "PNG");
    if (image.isNull() || image.size() != QSize(icon.width, icon.height)) return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage FitIcon(QImage image, int maxSize) {
    if (image.isNull() || (image.width() <= maxSize && image.height() <= maxSize)) return image;
    return image.scaled(maxSize, maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QImage ToImage(const IconImage& icon) {
    return icon.format == IconImage::Format::Png ? FromPng(icon) : FromPixels(icon);
}

QImage ModuleIconImage(const ResourceModule& module, int maxSize) {
    Result<IconImage> icon = LoadModuleIcon(module, maxSize);
    return icon ? FitIcon(ToImage(icon.Value()), maxSize) : QImage();
}

// ---- Module summary ----------------------------------------------------------------

namespace {

// Reading a whole file only to find it is not a module would stall the
// dialog on large files of other kinds, so look at its first bytes first.
bool LooksLikeModule(const QString& path) {
    QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxPreviewBytes) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.read(2) == "MZ";
}

void ReadVersion(const ResourceModule& module, ModuleSummary& summary) {
    // UTF-8 keeps every character of the version strings.
    auto read = ReadModuleVersion(module, CodePage(kCodePageUtf8));
    if (!read) return;
    const ModuleVersion& version = read.Value();
    summary.description = QString::fromStdString(version.description);
    summary.version = QString::fromStdString(version.VersionText());
    if (version.language != 0) {
        std::string name = LanguageName(version.language);
        summary.language = name.empty() ? QStringLiteral("0x%1").arg(version.language, 4, 16, QLatin1Char('0'))
                                        : QString::fromStdString(name);
    }
}

void CountResources(ResourceModule module, ModuleSummary& summary) {
    summary.hasResources = !module.Tree().types.empty();
    if (!summary.hasResources) return;
    CResourceInfo info;
    CResourceExtractor extractor(std::move(module), info, CodePage(kCodePageUtf8));
    // A module that cannot be read counts nothing: its tree stays empty.
    if (extractor.Extract()) summary.counts = static_cast<const ResourceCounters&>(info);
}

} // namespace

std::optional<ModuleSummary> SummarizeModule(const QString& path) {
    if (path.isEmpty() || !LooksLikeModule(path)) return std::nullopt;
    auto opened = ResourceModule::Open(QFile::encodeName(path).toStdString());
    if (!opened) return std::nullopt;
    ModuleSummary summary;
    summary.icon = ModuleIconImage(opened.Value());
    ReadVersion(opened.Value(), summary);
    CountResources(std::move(opened).Value(), summary);
    return summary;
}

// ---- Preview pane ---------------------------------------------------------------------

namespace {

constexpr int kIconShown = 64; // small icons are shown enlarged, pixels kept sharp
constexpr int kPaneWidth = 220;

// Stands in for a module without an icon: a window with a title bar.
QPixmap ModuleGlyph() {
    QImage image(kIconShown, kIconShown, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QRect frame(6, 10, kIconShown - 12, kIconShown - 20);
    painter.setPen(QPen(QColor(60, 60, 60), 2));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRect(frame);
    painter.fillRect(QRect(frame.left() + 1, frame.top() + 1, frame.width() - 1, 9), QColor(40, 80, 160));
    painter.end();
    return QPixmap::fromImage(image);
}

QPixmap ShownIcon(const QImage& icon) {
    int factor = std::max(1, kIconShown / std::max(icon.width(), icon.height()));
    return QPixmap::fromImage(icon.scaled(icon.size() * factor, Qt::KeepAspectRatio, Qt::FastTransformation));
}

} // namespace

ModulePreview::ModulePreview(QWidget* parent)
    : QFrame(parent), m_form(new QFormLayout), m_iconLabel(new QLabel(this)) {
    setObjectName(QStringLiteral("modulePreview"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFixedWidth(kPaneWidth);
    m_iconLabel->setAlignment(Qt::AlignCenter);
    m_iconLabel->setMinimumHeight(kIconShown);
    m_description = AddRow(QT_TR_NOOP("Description:"));
    m_version = AddRow(QT_TR_NOOP("Version:"));
    m_language = AddRow(QT_TR_NOOP("Language:"));
    m_strings = AddRow(QT_TR_NOOP("Strings:"));
    m_menuItems = AddRow(QT_TR_NOOP("Menu items:"));
    m_dialogs = AddRow(QT_TR_NOOP("Dialogs:"));
    m_controls = AddRow(QT_TR_NOOP("Controls:"));
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    auto* column = new QVBoxLayout(this);
    column->addWidget(m_iconLabel);
    column->addLayout(m_form);
    column->addWidget(m_note);
    column->addStretch();
    Clear();
}

QLabel* ModulePreview::AddRow(const char* caption) {
    auto* value = new QLabel(this);
    value->setWordWrap(true);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_form->addRow(tr(caption), value);
    return value;
}

// An empty value hides its row, caption and all.
void ModulePreview::SetRow(QLabel* value, const QString& text) {
    value->setText(text);
    m_form->setRowVisible(value, !text.isEmpty());
}

void ModulePreview::Clear() {
    m_bModule = false;
    m_icon = QImage();
    m_iconLabel->clear();
    for (QLabel* value : {m_description, m_version, m_language, m_strings, m_menuItems, m_dialogs, m_controls})
        SetRow(value, {});
    m_note->clear();
}

void ModulePreview::ShowFile(const QString& path) {
    Clear();
    if (auto summary = SummarizeModule(path)) Show(*summary);
}

void ModulePreview::Show(const ModuleSummary& summary) {
    m_bModule = true;
    m_icon = summary.icon;
    m_iconLabel->setPixmap(m_icon.isNull() ? ModuleGlyph() : ShownIcon(m_icon));
    SetRow(m_description, summary.description);
    SetRow(m_version, summary.version);
    SetRow(m_language, summary.language);
    ShowCounts(summary);
}

void ModulePreview::ShowCounts(const ModuleSummary& summary) {
    if (!summary.hasResources) {
        m_note->setText(tr("This module has no resources."));
        return;
    }
    SetRow(m_strings, QString::number(summary.counts.m_nStrings));
    SetRow(m_menuItems, QString::number(summary.counts.m_nMenuItems));
    SetRow(m_dialogs, QString::number(summary.counts.m_nDialogs));
    SetRow(m_controls, QString::number(summary.counts.m_nControls));
}

// ---- Places -------------------------------------------------------------------------------

namespace {

constexpr int kRecentFiles = 8;
// Recent folders beyond this would push the standard places out of sight.
constexpr int kHistoryPlaces = 6;


void AddFoldersOf(const QStringList& files, QStringList& folders) {
    for (const QString& file : files)
        if (!file.isEmpty()) folders << QFileInfo(file).absolutePath();
}

} // namespace

QStringList PlaceFolders() {
    QSettings settings = AppSettings();
    QStringList history;
    AddFoldersOf(settings.value(QString::fromLatin1(kRecentFilesKey)).toStringList(), history);
    AddFoldersOf(settings.value(QString::fromLatin1(kRecentProjectsKey)).toStringList(), history);
    QList<QUrl> recent = PlaceUrls(history);
    QStringList folders;
    for (qsizetype i = 0; i < std::min<qsizetype>(recent.size(), kHistoryPlaces); ++i) folders << recent[i].toLocalFile();
    for (auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::DesktopLocation, QStandardPaths::HomeLocation})
        folders << QStandardPaths::writableLocation(location);
    return folders;
}

QList<QUrl> PlaceUrls(const QStringList& folders) {
    QList<QUrl> urls;
    QStringList seen;
    for (const QString& folder : folders) {
        // The canonical path is the same for every spelling of a folder
        // (links, "..", a trailing "/").
        QFileInfo info(folder);
        if (!info.isDir()) continue;
        QString canonical = info.canonicalFilePath();
        if (seen.contains(canonical)) continue;
        seen << canonical;
        urls << QUrl::fromLocalFile(canonical);
    }
    return urls;
}

// ---- The dialog -------------------------------------------------------------------------------

CFileDialog::CFileDialog(QWidget* parent, Mode mode, const QString& title, const QString& filter,
                         const QString& defaultSuffix)
    : QFileDialog(parent, title), m_preview(new ModulePreview(this)) {
    // The desktop's own dialogs take neither extra places nor a preview pane.
    setOption(QFileDialog::DontUseNativeDialog);
    ApplyMode(mode);
    setNameFilter(filter);
    setDefaultSuffix(defaultSuffix);
    setSidebarUrls(PlaceUrls(PlaceFolders()));
    AddPreviewPane();
    connect(this, &QFileDialog::currentChanged, m_preview, &ModulePreview::ShowFile);
    // A new folder shows no file yet; keep the last one's preview from lingering.
    connect(this, &QFileDialog::directoryEntered, m_preview, [this] { m_preview->ShowFile({}); });
}

void CFileDialog::ApplyMode(Mode mode) {
    switch (mode) {
    case Mode::Open:
        setAcceptMode(AcceptOpen);
        setFileMode(ExistingFile);
        break;
    case Mode::Save:
        setAcceptMode(AcceptSave);
        setFileMode(AnyFile);
        setOption(DontConfirmOverwrite, false);
        break;
    case Mode::NewOrExisting:
        setAcceptMode(AcceptOpen);
        setFileMode(AnyFile);
        break;
    }
}

void CFileDialog::AddPreviewPane() {
    // Qt's widget-based dialog lays itself out in a grid; that is observed,
    // not promised, so a different layout simply goes without the pane.
    auto* grid = qobject_cast<QGridLayout*>(layout());
    if (!grid) {
        m_preview->hide();
        return;
    }
    m_bPreviewPane = true;
    int rows = std::max(1, grid->rowCount());
    grid->addWidget(m_preview, 0, grid->columnCount(), rows, 1);
    resize(width() + m_preview->width(), height());
}

void CFileDialog::StartAt(const QString& path) {
    QString start = path;
    if (start.isEmpty()) {
        QStringList recent = AppSettings().value(QString::fromLatin1(kRecentFilesKey)).toStringList();
        if (!recent.isEmpty()) setDirectory(QFileInfo(recent.constFirst()).absolutePath());
        return;
    }
    QFileInfo info(start);
    if (info.absoluteDir().exists()) setDirectory(info.absolutePath());
    selectFile(info.fileName());
    // Selecting a file from code does not make it current, so nothing
    // announces it to the pane.
    m_preview->ShowFile(info.absoluteFilePath());
}

QString CFileDialog::Run() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return {};
    return selectedFiles().constFirst();
}

void CFileDialog::done(int result) {
    if (result == QDialog::Accepted && !selectedFiles().isEmpty()) RememberFile(selectedFiles().constFirst());
    QFileDialog::done(result);
}

void CFileDialog::RememberFile(const QString& path) {
    QSettings settings = AppSettings();
    QString key = QString::fromLatin1(kRecentFilesKey);
    QStringList recent = settings.value(key).toStringList();
    QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kRecentFiles) recent.removeLast();
    settings.setValue(key, recent);
}

QString CFileDialog::GetOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& current) {
    CFileDialog dialog(parent, Mode::Open, title, filter);
    dialog.StartAt(current);
    return dialog.Run();
}

QString CFileDialog::GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                     const QString& defaultSuffix, const QString& current) {
    CFileDialog dialog(parent, Mode::Save, title, filter, defaultSuffix);
    dialog.StartAt(current);
    return dialog.Run();
}

QString CFileDialog::GetNewOrExistingFileName(QWidget* parent, const QString& title, const QString& filter,
                                              const QString& defaultSuffix, const QString& current) {
    CFileDialog dialog(parent, Mode::NewOrExisting, title, filter, defaultSuffix);
    dialog.StartAt(current);
    return dialog.Run();
}

} // namespace quillon::gui
