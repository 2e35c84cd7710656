// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "inputrules.h"
#include "keypressfilter.h"
#include "runprogress.h"
#include "shownname.h"
#include "startfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

#include <iterator>

namespace {

// The layout is drawn in twips, at 15 to a pixel.
constexpr int TwipsPerPixel = 15;

struct Twips
{
    int Left, Top, Width, Height;
};

QRect PixelsOf(Twips at)
{
    return QRect(at.Left / TwipsPerPixel, at.Top / TwipsPerPixel, at.Width / TwipsPerPixel,
                 at.Height / TwipsPerPixel);
}

template <typename Control>
Control *Place(QWidget *parent, const char *name, const QString &text, Twips at)
{
    auto *control = new Control(text, parent);
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(PixelsOf(at));
    return control;
}

// Each face first by its Chinese name, then by what other systems call it or
// put in its place.
const QStringList SongFamilies{QStringLiteral("宋体"), QStringLiteral("SimSun"),
                               QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")};
const QStringList YaHeiFamilies{QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei"),
                                QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};

QFont ChineseFont(const QStringList &families, qreal points)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

// The folder a drag carries, as a file manager gives it: one local folder.
// Empty for anything else.
QString DraggedFolder(const QMimeData *data)
{
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return {};
    const QString path = urls.front().toLocalFile();
    return QFileInfo(path).isDir() ? path : QString();
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Tarvel"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/tarvel.ico")));
    setFixedSize(PixelsOf({0, 0, 6615, 6285}).size());
    createControls();
    setFonts();
    setFocusOrder();
    connectHandlers();
    // A folder dropped anywhere on the window is opened; the text boxes,
    // which take dropped text, would otherwise take its path as text.
    setAcceptDrops(true);
    installEventFilter(this);
    for (QLineEdit *box : findChildren<QLineEdit *>())
        box->installEventFilter(this);
    Form_Load();
    Command1->setFocus();
}

void Form1::createControls()
{
    Frame1 = Place<QGroupBox>(this, "Frame1", QStringLiteral("步骤(1) 定位文件夹"), {240, 120, 6135, 1575});
    Label1 = Place<QLabel>(Frame1, "Label1", QStringLiteral("位置："), {120, 480, 615, 375});
    Text1 = Place<QLineEdit>(Frame1, "Text1", QString(), {720, 360, 5175, 495});
    Command1 = Place<QPushButton>(Frame1, "Command1", QStringLiteral("定位文件夹..."), {720, 960, 1455, 495});
    Label7 = Place<QLabel>(Frame1, "Label7", QStringLiteral("文本文件个数："), {2640, 1080, 1335, 255});
    Label8 = Place<QLabel>(Frame1, "Label8", QStringLiteral("0"), {4080, 1080, 855, 255});

    Frame2 = Place<QGroupBox>(this, "Frame2", QStringLiteral("步骤(2) 选择提取方式"), {240, 1800, 6135, 1935});
    Option1 = Place<QRadioButton>(Frame2, "Option1", QStringLiteral("按行数"), {240, 480, 1095, 375});
    Label2 = Place<QLabel>(Frame2, "Label2", QStringLiteral("提取行数(含)："), {1440, 480, 1575, 255});
    Text2 = Place<QLineEdit>(Frame2, "Text2", QString(), {2760, 360, 1215, 390});
    Label3 = Place<QLabel>(Frame2, "Label3", QStringLiteral("~"), {4080, 480, 375, 135});
    Text3 = Place<QLineEdit>(Frame2, "Text3", QStringLiteral("*"), {4440, 360, 1215, 390});
    Label9 = Place<QLabel>(Frame2, "Label9", QStringLiteral("星号代表最后一行"), {4320, 840, 1455, 255});
    Line1 = new QFrame(Frame2);
    Line1->setObjectName(QStringLiteral("Line1"));
    Line1->setFrameStyle(QFrame::HLine | QFrame::Plain);
    Line1->setGeometry(PixelsOf({120, 1080, 5880, TwipsPerPixel})); // from (120, 1080) to (6000, 1080)
    Option2 = Place<QRadioButton>(Frame2, "Option2", QStringLiteral("按首列值"), {240, 1320, 1095, 375});
    Label11 = Place<QLabel>(Frame2, "Label11", QStringLiteral("数据范围(含)："), {1440, 1440, 1335, 255});
    Text5 = Place<QLineEdit>(Frame2, "Text5", QString(), {2760, 1320, 1215, 390});
    Label12 = Place<QLabel>(Frame2, "Label12", QStringLiteral("~"), {4080, 1440, 375, 135});
    Text6 = Place<QLineEdit>(Frame2, "Text6", QString(), {4440, 1320, 1215, 390});

    Frame4 = Place<QGroupBox>(this, "Frame4",
                              QStringLiteral("步骤(3) 添加保存前缀  如为空，则产生同名文件，可能会覆盖"),
                              {240, 3840, 6135, 975});
    Label4 = Place<QLabel>(Frame4, "Label4", QStringLiteral("附加保存前缀："), {240, 480, 1575, 255});
    Text4 = Place<QLineEdit>(Frame4, "Text4", QString(), {1680, 360, 2175, 375});
    Label5 = Place<QLabel>(Frame4, "Label5", QStringLiteral("原文件名.txt"), {3960, 480, 1095, 255});

    Frame5 = Place<QGroupBox>(this, "Frame5", QStringLiteral("步骤(4) 确认设置无误后点击执行"),
                              {240, 4920, 6135, 1095});
    Command2 = Place<QPushButton>(Frame5, "Command2", QStringLiteral("执行"), {360, 360, 1455, 495});
    // Two lines: what the note says, then the folder results go into.
    Label6 = Place<QLabel>(Frame5, "Label6", QString(), {2160, 330, 3855, 555});

    Option1->setChecked(true);
    // The path box only shows the current folder; nothing reads it back.
    Text1->setReadOnly(true);
}

void Form1::setFonts()
{
    setFont(ChineseFont(SongFamilies, 9));
    const QFont captionFont = ChineseFont(YaHeiFamilies, 10.5);
    for (QGroupBox *frame : {Frame1, Frame2, Frame4, Frame5}) {
        frame->setFont(captionFont);
        // A frame passes its font on to what it holds; here only its caption takes it.
        for (QWidget *control : frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            control->setFont(font());
    }
    const QFont boxFont = ChineseFont(SongFamilies, 12);
    for (QLineEdit *box : {Text2, Text3, Text4, Text5, Text6})
        box->setFont(boxFont);
}

void Form1::setFocusOrder()
{
    QWidget *const order[] = {Command1, Text1, Text2, Text4, Command2, Text3, Option1, Option2, Text5, Text6};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::connectHandlers()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Text4, &QLineEdit::textChanged, this, &Form1::showResultFolder);
    InstallKeyPressHandler(Text2, [this](std::int16_t &KeyAscii) { Text2_KeyPress(KeyAscii); });
    InstallKeyPressHandler(Text3, [this](std::int16_t &KeyAscii) { Text3_KeyPress(KeyAscii); });
    InstallKeyPressHandler(Text5, [this](std::int16_t &KeyAscii) { Text5_KeyPress(KeyAscii); });
    InstallKeyPressHandler(Text6, [this](std::int16_t &KeyAscii) { Text6_KeyPress(KeyAscii); });
}

void Form1::OpenFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (!folder.isDir()) {
        const QString shown = ShownName(QDir::toNativeSeparators(path));
        ShowMessage(this, {folder.exists() ? QStringLiteral("“%1”不是文件夹。").arg(shown)
                                           : QStringLiteral("找不到文件夹“%1”。").arg(shown),
                           true});
        return;
    }
    Folder.FolderPath = folder.absoluteFilePath();
    ScanFolder(Folder);
    showFolder();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QWidget::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString folder = DraggedFolder(drop->mimeData());
    if (folder.isEmpty())
        return false; // not ours: a box may take it as text
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        OpenFolder(folder);
    return true;
}

void Form1::showFolder()
{
    Text1->setText(QDir::toNativeSeparators(Folder.FolderPath));
    Label8->setText(QString::number(Folder.FileCount()));
}

// The note beside "执行" names the folder the results will go into, as the
// prefix stands, shortened in the middle to fit. The program's own folder
// keeps the original words.
void Form1::showResultFolder()
{
    const QString folder = ResultFolderOf(Text4->text());
    if (QFileInfo(folder) == QFileInfo(QCoreApplication::applicationDirPath())) {
        Label6->setText(QStringLiteral("（执行后会在程序所在目录内创建文件）"));
    } else {
        const QString shown = ShownName(QDir::toNativeSeparators(folder));
        Label6->setText(QStringLiteral("执行后会在这个文件夹内创建文件：\n")
                        + Label6->fontMetrics().elidedText(shown, Qt::ElideMiddle, Label6->width()));
    }
    Label6->setToolTip(QDir::toNativeSeparators(folder));
}

// Before anything is written: results may replace their own sources once
// the user agrees, never another listed source.
bool Form1::mayReplaceSources(const QString &SavePrefix)
{
    const QList<ReplacedSource> replaced = FindReplacedSources(SavePrefix, Folder.FolderPath, Folder.FileNames);
    if (const QString refusal = RefusalText(replaced); !refusal.isEmpty()) {
        ShowMessage(this, {refusal, true});
        return false;
    }
    return replaced.isEmpty() || Confirm(this, ReplaceOwnSourcesQuestion(replaced.size()));
}

BatchSettings Form1::settingsFromFields() const
{
    BatchSettings settings;
    settings.StartLineText = Text2->text();
    settings.EndLineText = Text3->text();
    settings.LowValueText = Text5->text();
    settings.HighValueText = Text6->text();
    settings.SavePrefix = Text4->text();
    settings.ByLines = Option1->isChecked();
    settings.ByValue = Option2->isChecked();
    return settings;
}

void Form1::Form_Load()
{
    Folder = StartFolder(QCoreApplication::applicationDirPath(), QDir::currentPath());
    showFolder();
    showResultFolder();
}

void Form1::Command1_Click()
{
    const QString chosen = ChooseFolder(this, QStringLiteral("请选择一个文件夹："));
    if (chosen.isEmpty())
        return; // cancelled: the current folder stays, with its list
    OpenFolder(chosen);
}

void Form1::Command2_Click()
{
    const BatchSettings settings = settingsFromFields();
    if (!mayReplaceSources(settings.SavePrefix))
        return;
    BatchReport report;
    {
        RunProgress progress(this, ProgressDelayMs);
        report = RunBatch(settings, Folder.FolderPath, Folder.FileNames, std::ref(progress));
    }
    ShowMessage(this, RunMessageFor(report));
}

void Form1::Text2_KeyPress(std::int16_t &KeyAscii)
{
    ApplyInputRule(InputRule::LineNumber, KeyAscii);
}

void Form1::Text3_KeyPress(std::int16_t &KeyAscii)
{
    ApplyInputRule(InputRule::LastLineNumber, KeyAscii);
}

void Form1::Text5_KeyPress(std::int16_t &KeyAscii)
{
    ApplyInputRule(InputRule::Value, KeyAscii);
}

void Form1::Text6_KeyPress(std::int16_t &KeyAscii)
{
    ApplyInputRule(InputRule::Value, KeyAscii);
}
