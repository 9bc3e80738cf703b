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
#include "io/ByteReader.h"
#include "io/CodePage.h"
#include "pe/ResourceModule.h"

namespace quillon::gui {

// ---- Icon images ----------------------------------------------------------------

namespace {

// Icons are at most 256 pixels across; anything larger is damage.
constexpr std::int64_t kMaxIconSide = 256;
constexpr std::size_t kInfoHeaderSize = 40;

// BITMAPINFOHEADER (40 bytes or a longer version of it):
//   u32 header size, i32 width, i32 height (twice the image: XOR rows then AND
//   rows), u16 planes, u16 bits per pixel, u32 compression (0 = none),
//   u32 image size, i32 x and y resolution, u32 colours used, u32 important.
// Then the palette (4 bytes B G R 0 per colour, up to 8 bits per pixel), the
// XOR bitmap and the 1-bit AND mask (set = transparent), both bottom-up with
// rows padded to 4 bytes.
struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // of the image, half the stored height
    std::uint16_t bitCount = 0;
    std::uint32_t colours = 0; // palette entries
};

bool IsPng(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

std::uint32_t PaletteSize(std::uint16_t bitCount, std::uint32_t coloursUsed) {
    if (bitCount > 8) return 0;
    std::uint32_t full = 1u << bitCount;
    return coloursUsed == 0 || coloursUsed > full ? full : coloursUsed;
}

std::optional<DibHeader> ReadDibHeader(ByteReader in) {
    auto size = in.U32();
    auto width = in.U32();
    auto height = in.U32();
    auto planes = in.U16();
    auto bitCount = in.U16();
    auto compression = in.U32();
    if (!size || !width || !height || !planes || !bitCount || !compression || !in.Skip(12)) return std::nullopt;
    auto coloursUsed = in.U32();
    if (!coloursUsed || *size < kInfoHeaderSize || *compression != 0) return std::nullopt;
    DibHeader header;
    header.headerSize = *size;
    header.width = static_cast<std::int32_t>(*width);
    header.height = static_cast<std::int32_t>(*height) / 2;
    header.bitCount = *bitCount;
    header.colours = PaletteSize(*bitCount, *coloursUsed);
    static constexpr std::uint16_t kBitCounts[] = {1, 2, 4, 8, 24, 32};
    bool knownDepth = std::find(std::begin(kBitCounts), std::end(kBitCounts), *bitCount) != std::end(kBitCounts);
    bool sane = header.width > 0 && header.width <= kMaxIconSide && header.height > 0 && header.height <= kMaxIconSide;
    if (!knownDepth || !sane) return std::nullopt;
    return header;
}

std::size_t RowStride(std::int64_t width, std::uint16_t bitCount) {
    return static_cast<std::size_t>((width * bitCount + 31) / 32 * 4);
}

// The palette index of pixel x in a row of 1, 2, 4 or 8 bits per pixel;
// the leftmost pixel sits in the high bits of its byte.
unsigned PaletteIndex(std::span<const std::uint8_t> row, std::int64_t x, std::uint16_t bitCount) {
    std::size_t bit = static_cast<std::size_t>(x) * bitCount;
    unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
    return (row[bit / 8] >> shift) & ((1u << bitCount) - 1);
}

class DibDecoder {
public:
    DibDecoder(const DibHeader& header, std::span<const std::uint8_t> palette, std::span<const std::uint8_t> pixels,
               std::span<const std::uint8_t> mask)
        : m_header(header), m_palette(palette), m_pixels(pixels), m_mask(mask) {}

    QImage Decode() const {
        QImage image(static_cast<int>(m_header.width), static_cast<int>(m_header.height), QImage::Format_ARGB32);
        bool useAlpha = m_header.bitCount == 32 && HasAlpha();
        for (std::int64_t y = 0; y < m_header.height; ++y) {
            // Rows are stored bottom-up.
            std::int64_t stored = m_header.height - 1 - y;
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
            for (std::int64_t x = 0; x < m_header.width; ++x) line[x] = Pixel(stored, x, useAlpha);
        }
        return image;
    }

private:
    std::span<const std::uint8_t> Row(std::span<const std::uint8_t> plane, std::size_t stride, std::int64_t row) const {
        return plane.subspan(static_cast<std::size_t>(row) * stride, stride);
    }

    // Icons of 32 bits made before alpha existed leave the fourth byte zero
    // and rely on the mask alone.
    bool HasAlpha() const {
        for (std::size_t i = 3; i < m_pixels.size(); i += 4)
            if (m_pixels[i] != 0) return true;
        return false;
    }

    bool Masked(std::int64_t row, std::int64_t x) const {
        if (m_mask.empty()) return false;
        return PaletteIndex(Row(m_mask, RowStride(m_header.width, 1), row), x, 1) != 0;
    }

    QRgb PaletteColour(unsigned index) const {
        if (index >= m_header.colours) return qRgb(0, 0, 0);
        const std::uint8_t* entry = &m_palette[index * 4];
        return qRgb(entry[2], entry[1], entry[0]);
    }

    QRgb Pixel(std::int64_t row, std::int64_t x, bool useAlpha) const {
        auto data = Row(m_pixels, RowStride(m_header.width, m_header.bitCount), row);
        QRgb colour;
        if (m_header.bitCount <= 8) {
            colour = PaletteColour(PaletteIndex(data, x, m_header.bitCount));
        } else {
            const std::uint8_t* p = &data[static_cast<std::size_t>(x) * (m_header.bitCount / 8)];
            if (useAlpha) return qRgba(p[2], p[1], p[0], p[3]);
            colour = qRgb(p[2], p[1], p[0]);
        }
        return Masked(row, x) ? qRgba(0, 0, 0, 0) : colour;
    }

    DibHeader m_header;
    std::span<const std::uint8_t> m_palette;
    std::span<const std::uint8_t> m_pixels;
    std::span<const std::uint8_t> m_mask;
};

QImage DecodeDib(std::span<const std::uint8_t> bytes) {
    ByteReader in(bytes);
    auto header = ReadDibHeader(in);
    if (!header) return {};
    std::size_t paletteBytes = std::size_t{header->colours} * 4;
    std::size_t pixelBytes = RowStride(header->width, header->bitCount) * static_cast<std::size_t>(header->height);
    std::size_t maskBytes = RowStride(header->width, 1) * static_cast<std::size_t>(header->height);
    auto palette = in.Sub(header->headerSize, paletteBytes);
    if (!palette) return {};
    std::size_t pixelOffset = header->headerSize + paletteBytes;
    auto pixels = in.Sub(pixelOffset, pixelBytes);
    if (!pixels) return {};
    // A mask cut short by the module's packer leaves the image opaque.
    auto mask = in.Sub(pixelOffset + pixelBytes, maskBytes);
    std::span<const std::uint8_t> maskSpan = mask ? mask->Bytes() : std::span<const std::uint8_t>();
    return DibDecoder(*header, palette->Bytes(), pixels->Bytes(), maskSpan).Decode();
}

// GRPICONDIR: u16 reserved (0), u16 type (1 = icons), u16 count, then count
// entries of 14 bytes: u8 width (0 = 256), u8 height, u8 colours, u8 reserved,
// u16 planes, u16 bits per pixel, u32 size in bytes, u16 RT_ICON name.
struct GroupEntry {
    int side = 0;
    int bits = 0;
    std::uint16_t id = 0;
};

std::vector<GroupEntry> ReadGroupEntries(std::span<const std::uint8_t> group) {
    ByteReader in(group);
    std::vector<GroupEntry> entries;
    auto reserved = in.U16();
    auto type = in.U16();
    auto count = in.U16();
    if (!reserved || !type || !count || *type != 1) return entries;
    for (std::uint16_t i = 0; i < *count; ++i) {
        auto fixed = in.Take(4);
        auto planes = in.U16();
        auto bits = in.U16();
        auto size = in.U32();
        auto id = in.U16();
        if (!fixed || !planes || !bits || !size || !id) break;
        int width = (*fixed)[0] ? (*fixed)[0] : 256;
        int height = (*fixed)[1] ? (*fixed)[1] : 256;
        // Old groups leave the bit count zero and give the number of colours.
        int colours = (*fixed)[2];
        int depth = *bits ? *bits : (colours == 0 ? 8 : colours <= 2 ? 1 : colours <= 16 ? 4 : 8);
        entries.push_back({std::max(width, height), depth, *id});
    }
    return entries;
}

// The bytes of a name's resource in the language the module prefers, else
// the first language that is in the file.
std::optional<std::span<const std::uint8_t>> LeafBytes(const ResourceModule& module, const ResourceNameNode& node,
                                                       std::uint16_t type) {
    if (!node.name.named) return module.Find(type, node.name.id);
    for (const ResourceLeaf& leaf : node.languages)
        if (leaf.language == module.Language() && leaf.bytes) return leaf.bytes;
    for (const ResourceLeaf& leaf : node.languages)
        if (leaf.bytes) return leaf.bytes;
    return std::nullopt;
}

QImage FitIcon(QImage image, int maxSize) {
    if (image.width() <= maxSize && image.height() <= maxSize) return image;
    return image.scaled(maxSize, maxSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage IconFromGroup(const ResourceModule& module, std::span<const std::uint8_t> group, int maxSize) {
    for (std::uint16_t id : PreferredIconIds(group, maxSize))
        if (auto bytes = module.Find(kTypeIcon, id)) {
            QImage image = DecodeIconImage(*bytes);
            if (!image.isNull()) return FitIcon(std::move(image), maxSize);
        }
    return {};
}

// A module with icon images but no group (rare, hand-made) still shows one.
QImage FirstLooseIcon(const ResourceModule& module, int maxSize) {
    for (const ResourceId& name : module.EnumerateNames(kTypeIcon))
        if (!name.named)
            if (auto bytes = module.Find(kTypeIcon, name.id)) {
                QImage image = DecodeIconImage(*bytes);
                if (!image.isNull()) return FitIcon(std::move(image), maxSize);
            }
    return {};
}

} // namespace

QImage DecodeIconImage(std::span<const std::uint8_t> bytes) {
    if (IsPng(bytes)) {
        auto data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
        QImage image = QImage::fromData(data, "PNG");
        bool sane = !image.isNull() && image.width() <= kMaxIconSide && image.height() <= kMaxIconSide;
        return sane ? image.convertToFormat(QImage::Format_ARGB32) : QImage();
    }
    return DecodeDib(bytes);
}

std::vector<std::uint16_t> PreferredIconIds(std::span<const std::uint8_t> group, int maxSize) {
    std::vector<GroupEntry> entries = ReadGroupEntries(group);
    std::stable_sort(entries.begin(), entries.end(), [maxSize](const GroupEntry& a, const GroupEntry& b) {
        bool aFits = a.side <= maxSize;
        bool bFits = b.side <= maxSize;
        if (aFits != bFits) return aFits;
        if (a.side != b.side) return aFits ? a.side > b.side : a.side < b.side;
        return a.bits > b.bits;
    });
    std::vector<std::uint16_t> ids;
    for (const GroupEntry& entry : entries) ids.push_back(entry.id);
    return ids;
}

QImage LoadModuleIcon(const ResourceModule& module, int maxSize) {
    // The desktop shows the first icon group as the module's own; later
    // groups serve the module's windows.
    if (const ResourceTypeNode* groups = module.Tree().FindType(ResourceId::Integer(kTypeGroupIcon)))
        for (const ResourceNameNode& node : groups->names)
            if (auto bytes = LeafBytes(module, node, kTypeGroupIcon)) {
                QImage image = IconFromGroup(module, *bytes, maxSize);
                if (!image.isNull()) return image;
            }
    return FirstLooseIcon(module, maxSize);
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
    CFileVersion version{CodePage(kCodePageUtf8)};
    if (!version.LoadFrom(module)) return;
    std::string text;
    if (version.GetFileDescription(text)) summary.description = QString::fromStdString(text);
    if (version.GetVersion(text)) summary.version = QString::fromStdString(text);
    std::uint16_t language = 0;
    if (version.GetLanguage(language) && language != 0) {
        std::string name = LanguageName(language);
        summary.language = name.empty() ? QStringLiteral("0x%1").arg(language, 4, 16, QLatin1Char('0'))
                                        : QString::fromStdString(name);
    }
}

void CountResources(ResourceModule module, ModuleSummary& summary) {
    summary.hasResources = !module.Tree().types.empty();
    if (!summary.hasResources) return;
    CResourceInfo info;
    CResourceExtractor extractor(std::move(module), info, CodePage(kCodePageUtf8));
    extractor.Extract();
    summary.counts = static_cast<const ResourceCounters&>(info);
}

} // namespace

std::optional<ModuleSummary> SummarizeModule(const QString& path) {
    if (path.isEmpty() || !LooksLikeModule(path)) return std::nullopt;
    auto opened = ResourceModule::Open(QFile::encodeName(path).toStdString());
    if (!opened) return std::nullopt;
    ModuleSummary summary;
    summary.icon = LoadModuleIcon(opened.Value());
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
    m_description = AddRow("Description:");
    m_version = AddRow("Version:");
    m_language = AddRow("Language:");
    m_strings = AddRow("Strings:");
    m_menuItems = AddRow("Menu items:");
    m_dialogs = AddRow("Dialogs:");
    m_controls = AddRow("Controls:");
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
    m_form->addRow(QString::fromLatin1(caption), value);
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
        m_note->setText(QStringLiteral("This module has no resources."));
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

QSettings AppSettings() { return QSettings(QStringLiteral("Quillon"), QStringLiteral("Quillon")); }

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
