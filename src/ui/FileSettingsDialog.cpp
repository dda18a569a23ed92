#include "ui/FileSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "book/FileItem.h"
#include "platform/AnsiCodePage.h"
#include "text/Chapters.h"
#include "ui/Appearance.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

// The lines of headings of your own shown at once.
constexpr int kPatternLines = 3;

QString Tr(const char* text) { return FileSettingsForm::tr(text); }

// The names of the settings: the form's labels and the summary's.
constexpr const char* kEncodingName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Encoding");
constexpr const char* kChaptersName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Chapters");
constexpr const char* kPatternsName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Heading patterns");
constexpr const char* kUnwrapName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Join lines");
constexpr const char* kModeName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Picture mode");
constexpr const char* kEnlargeName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Enlarge");
constexpr const char* kRotateName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Rotate");
constexpr const char* kSplitName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Split");
constexpr const char* kCropName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Crop borders");
constexpr const char* kGammaName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Gamma");
constexpr const char* kAutolevelName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Autolevel");
constexpr const char* kAllFramesName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "All frames");
constexpr const char* kAutomatic = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Automatic");
constexpr const char* kDocumentModeName = QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "PDF read as");

// The encodings offered in the list; any other name iconv knows may be typed.
const char* const kEncodings[] = {"UTF-8",      "Windows-1251", "KOI8-R",     "CP866",        "ISO-8859-5",
                                  "UTF-16LE",   "UTF-16BE",     "KOI8-U",     "Windows-1252", "ISO-8859-1",
                                  "Windows-1250", "ISO-8859-2", "MacCyrillic"};

template <class T>
struct ChoiceText {
  T value;
  const char* text;
};

const ChoiceText<Unwrap> kUnwrapTexts[] = {{Unwrap::kOff, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Off")},
                                           {Unwrap::kOn, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "On")},
                                           {Unwrap::kAuto, kAutomatic}};
const ChoiceText<DocumentMode> kDocumentModeTexts[] = {
    {DocumentMode::kAuto, kAutomatic},
    {DocumentMode::kText, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Its text")},
    {DocumentMode::kPages, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Pictures of its pages")},
    {DocumentMode::kReflow, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Words of its scans set again")}};
const ChoiceText<PageColors> kModeTexts[] = {
    {PageColors::kGray4, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Four greys")},
    {PageColors::kMonochrome, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Black and white")}};
const ChoiceText<Rotation> kRotationTexts[] = {
    {Rotation::kNone, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "None")},
    {Rotation::kAuto, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Wide pictures")},
    {Rotation::kLeft, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Every picture to the left")},
    {Rotation::kRight, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Every picture to the right")}};
const ChoiceText<Split> kSplitTexts[] = {
    {Split::kNone, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "None")},
    {Split::kLeftToRight, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Spreads, left half first")},
    {Split::kRightToLeft, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Spreads, right half first")},
    {Split::kAuto, QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "Spreads, right half first in a manga")}};

template <class T, size_t N>
QComboBox* ChoiceCombo(const ChoiceText<T> (&choices)[N], QWidget* parent) {
  auto* combo = new QComboBox(parent);
  for (const ChoiceText<T>& c : choices) combo->addItem(Tr(c.text), static_cast<int>(c.value));
  return combo;
}

template <class T>
void ShowChoice(QComboBox* combo, T value) {
  combo->setCurrentIndex(std::max(0, combo->findData(static_cast<int>(value))));
}

template <class T>
T ChosenValue(const QComboBox* combo) {
  return static_cast<T>(combo->currentData().toInt());
}

template <class T, size_t N>
QString ChoiceName(const ChoiceText<T> (&choices)[N], T value) {
  for (const ChoiceText<T>& c : choices)
    if (c.value == value) return Tr(c.text);
  return {};
}

QString OnOff(bool on) {
  return on ? Tr(QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "on")) : Tr(QT_TRANSLATE_NOOP("bookloom::FileSettingsForm", "off"));
}

QString GammaText(double gamma) { return QString::number(gamma, 'f', 2); }

std::vector<std::u16string> PatternsOf(const QString& text) {
  std::vector<std::u16string> patterns;
  for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
    if (!line.trimmed().isEmpty()) patterns.push_back(line.toStdU16String());
  return patterns;
}

QString PatternsText(const std::vector<std::u16string>& patterns) {
  QStringList lines;
  for (const std::u16string& pattern : patterns) lines.push_back(QString::fromStdU16String(pattern));
  return lines.join(u'\n');
}

}  // namespace

FileSettingsForm::FileSettingsForm(QWidget* parent) : QWidget(parent) {
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(0, 0, 0, 0);

  textGroup = new QGroupBox(tr("Texts"), this);
  auto* text = new QFormLayout(textGroup);
  encodingCombo = new QComboBox(textGroup);
  encodingCombo->setEditable(true);
  encodingCombo->setInsertPolicy(QComboBox::NoInsert);
  encodingCombo->addItem(Tr(kAutomatic));
  for (const char* name : kEncodings) encodingCombo->addItem(QString::fromLatin1(name));
  encodingCombo->setToolTip(
      tr("The encoding of the text: Automatic tells it from the bytes; any name iconv knows may be typed, "
         "such as CP1251, KOI8-R or UTF-16LE"));
  text->addRow(tr("%1:").arg(Tr(kEncodingName)), encodingCombo);
  chaptersCheck = new QCheckBox(Tr(kChaptersName), textGroup);
  chaptersCheck->setToolTip(
      tr("Make the headings of the text (parts, chapters, numerals alone, prologue and epilogue) sections "
         "and table-of-contents entries"));
  text->addRow(chaptersCheck);
  patternsEdit = new QPlainTextEdit(textGroup);
  patternsEdit->setTabChangesFocus(true);
  patternsEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
  patternsEdit->setFixedHeight(
      patternsEdit->fontMetrics().lineSpacing() * kPatternLines +
      2 * (patternsEdit->frameWidth() + static_cast<int>(patternsEdit->document()->documentMargin())));
  patternsEdit->setToolTip(
      tr("Headings of your own, one per line: ICU regular expressions that match the whole line"));
  text->addRow(tr("%1:").arg(Tr(kPatternsName)), patternsEdit);
  unwrapCombo = ChoiceCombo(kUnwrapTexts, textGroup);
  unwrapCombo->setToolTip(
      tr("Join the lines of a hard-wrapped text into paragraphs: On joins the lines between blank lines, "
         "Automatic decides by the text, Off keeps every line a paragraph"));
  text->addRow(tr("%1:").arg(Tr(kUnwrapName)), unwrapCombo);
  connect(chaptersCheck, &QCheckBox::toggled, patternsEdit, &QWidget::setEnabled);
  columns->addWidget(textGroup, 0, Qt::AlignTop);

  pictureGroup = new QGroupBox(tr("Pictures"), this);
  auto* picture = new QFormLayout(pictureGroup);
  documentModeCombo = ChoiceCombo(kDocumentModeTexts, pictureGroup);
  documentModeCombo->setToolTip(
      tr("A PDF's text as paragraphs and headings, with the pictures on its pages as pages, or each of its "
         "pages a picture: Automatic reads its text when its pages have a text layer, and keeps scans and "
         "drawings as pictures"));
  picture->addRow(tr("%1:").arg(Tr(kDocumentModeName)), documentModeCombo);
  pictureModeCombo = ChoiceCombo(kModeTexts, pictureGroup);
  pictureModeCombo->setToolTip(
      tr("Pictures in four greys, or in black and white: crisper line art and text scans, a smaller book"));
  picture->addRow(tr("%1:").arg(Tr(kModeName)), pictureModeCombo);
  rotateCombo = ChoiceCombo(kRotationTexts, pictureGroup);
  rotateCombo->setToolTip(
      tr("Turn pictures a quarter: wide pictures (wider than high) clockwise, to fill the page, or every "
         "picture counter-clockwise (left) or clockwise (right)"));
  picture->addRow(tr("%1:").arg(Tr(kRotateName)), rotateCombo);
  splitCombo = ChoiceCombo(kSplitTexts, pictureGroup);
  splitCombo->setToolTip(
      tr("Make a double-page spread (wider than 1.2 times its height) two pages, in the order the book is "
         "read; splitting comes before rotating"));
  picture->addRow(tr("%1:").arg(Tr(kSplitName)), splitCombo);
  gammaSpin = new QDoubleSpinBox(pictureGroup);
  gammaSpin->setRange(kMinGamma, kMaxGamma);
  gammaSpin->setDecimals(2);
  gammaSpin->setSingleStep(0.1);
  gammaSpin->setToolTip(
      tr("The gamma of the greys before scaling: above 1 lightens the middle greys, below 1 darkens them"));
  picture->addRow(tr("%1:").arg(Tr(kGammaName)), gammaSpin);
  auto* checks = new QGridLayout;
  enlargeCheck = new QCheckBox(Tr(kEnlargeName), pictureGroup);
  enlargeCheck->setToolTip(tr("Scale pictures smaller than the page up to fill it"));
  cropCheck = new QCheckBox(Tr(kCropName), pictureGroup);
  cropCheck->setToolTip(tr("Trim near-white or near-black borders (up to a fifth of each side) before fitting"));
  autolevelCheck = new QCheckBox(Tr(kAutolevelName), pictureGroup);
  autolevelCheck->setToolTip(
      tr("Stretch each picture's greys so that its darkest and lightest 0.5 % become black and white"));
  allFramesCheck = new QCheckBox(Tr(kAllFramesName), pictureGroup);
  allFramesCheck->setToolTip(
      tr("Make every page of a multi-page TIFF and every frame of an animated GIF a page (otherwise the "
         "first)"));
  checks->addWidget(enlargeCheck, 0, 0);
  checks->addWidget(cropCheck, 0, 1);
  checks->addWidget(autolevelCheck, 1, 0);
  checks->addWidget(allFramesCheck, 1, 1);
  picture->addRow(checks);
  columns->addWidget(pictureGroup, 0, Qt::AlignTop);
}

void FileSettingsForm::ShowSettings(const FileSettings& settings, const SettingGroups& groups) {
  textGroup->setVisible(groups.text);
  pictureGroup->setVisible(groups.pictures);
  allFramesCheck->setVisible(groups.allFrames);
  documentModeCombo->setVisible(groups.document);
  if (auto* form = qobject_cast<QFormLayout*>(pictureGroup->layout()))
    if (QWidget* label = form->labelForField(documentModeCombo)) label->setVisible(groups.document);

  const TextSettings& t = settings.text;
  if (t.encoding.empty()) {
    encodingCombo->setCurrentIndex(0);
  } else {
    const QString name = QString::fromStdString(t.encoding);
    const int listed = encodingCombo->findText(name, Qt::MatchFixedString);
    if (listed > 0)
      encodingCombo->setCurrentIndex(listed);
    else
      encodingCombo->setEditText(name);
  }
  chaptersCheck->setChecked(t.chapters);
  patternsEdit->setEnabled(t.chapters);
  patternsEdit->setPlainText(PatternsText(t.chapterPatterns));
  ShowChoice(unwrapCombo, t.unwrap);

  ShowChoice(documentModeCombo, settings.documentMode);
  const PictureSettings& p = settings.picture;
  ShowChoice(pictureModeCombo, p.colors);
  enlargeCheck->setChecked(p.enlarge);
  ShowChoice(rotateCombo, p.rotation);
  ShowChoice(splitCombo, p.split);
  cropCheck->setChecked(p.crop);
  gammaSpin->setValue(p.gamma);
  shownGamma_ = p.gamma;
  autolevelCheck->setChecked(p.autolevel);
  allFramesCheck->setChecked(p.allFrames);
}

bool FileSettingsForm::CheckSettings(UserDialogs& messages) const {
  if (textGroup->isHidden()) return true;
  const std::string encoding = EncodingName().toStdString();
  if (!encoding.empty() && !IsKnownCharset(encoding)) {
    messages.ShowValidationError(
        tr("The encoding \"%1\" is not known. Choose one of the list, or type another name iconv knows, such "
           "as CP1251 or KOI8-R.")
            .arg(QString::fromStdString(encoding))
            .toStdU16String());
    encodingCombo->setFocus();
    return false;
  }
  try {
    ChapterPatterns check(PatternsOf(patternsEdit->toPlainText()));
  } catch (const ChapterPatternError& e) {
    messages.ShowValidationError(QString::fromUtf8(e.what()).toStdU16String());
    patternsEdit->setFocus();
    return false;
  }
  return true;
}

QString FileSettingsForm::EncodingName() const {
  const QString text = encodingCombo->currentText().trimmed();
  return text == encodingCombo->itemText(0) ? QString() : text;
}

void FileSettingsForm::ReadSettings(FileSettings& settings) const {
  if (!textGroup->isHidden()) {
    TextSettings& t = settings.text;
    t.encoding = EncodingName().toStdString();
    t.chapters = chaptersCheck->isChecked();
    t.chapterPatterns = PatternsOf(patternsEdit->toPlainText());
    t.unwrap = ChosenValue<Unwrap>(unwrapCombo);
  }
  if (!pictureGroup->isHidden()) {
    PictureSettings& p = settings.picture;
    p.colors = ChosenValue<PageColors>(pictureModeCombo);
    p.enlarge = enlargeCheck->isChecked();
    p.rotation = ChosenValue<Rotation>(rotateCombo);
    p.split = ChosenValue<Split>(splitCombo);
    p.crop = cropCheck->isChecked();
    // A gamma of more digits than the box shows stays as it was until the box is changed.
    p.gamma = gammaSpin->value() == gammaSpin->valueFromText(GammaText(shownGamma_)) ? shownGamma_
                                                                                      : gammaSpin->value();
    p.autolevel = autolevelCheck->isChecked();
    if (!allFramesCheck->isHidden()) p.allFrames = allFramesCheck->isChecked();
    if (!documentModeCombo->isHidden()) settings.documentMode = ChosenValue<DocumentMode>(documentModeCombo);
  }
}

QString SettingsSummary(const FileSettings& settings, const FileSettings& book, const SettingGroups& groups) {
  QStringList lines;
  const auto line = [&](bool differs, const char* name, const QString& value) {
    if (differs) lines.push_back(FileSettingsForm::tr("%1: %2").arg(Tr(name), value));
  };
  if (groups.text) {
    const TextSettings &t = settings.text, &b = book.text;
    line(t.encoding != b.encoding, kEncodingName,
         t.encoding.empty() ? Tr(kAutomatic) : QString::fromStdString(t.encoding));
    line(t.chapters != b.chapters, kChaptersName, OnOff(t.chapters));
    line(t.chapterPatterns != b.chapterPatterns, kPatternsName,
         PatternsText(t.chapterPatterns).replace(u'\n', QStringLiteral("  ")));
    line(t.unwrap != b.unwrap, kUnwrapName, ChoiceName(kUnwrapTexts, t.unwrap));
  }
  if (groups.pictures) {
    const PictureSettings &p = settings.picture, &b = book.picture;
    line(p.colors != b.colors, kModeName, ChoiceName(kModeTexts, p.colors));
    line(p.enlarge != b.enlarge, kEnlargeName, OnOff(p.enlarge));
    line(p.rotation != b.rotation, kRotateName, ChoiceName(kRotationTexts, p.rotation));
    line(p.split != b.split, kSplitName, ChoiceName(kSplitTexts, p.split));
    line(p.crop != b.crop, kCropName, OnOff(p.crop));
    line(p.gamma != b.gamma, kGammaName, GammaText(p.gamma));
    line(p.autolevel != b.autolevel, kAutolevelName, OnOff(p.autolevel));
    line(groups.allFrames && p.allFrames != b.allFrames, kAllFramesName, OnOff(p.allFrames));
    line(groups.document && settings.documentMode != book.documentMode, kDocumentModeName,
         ChoiceName(kDocumentModeTexts, settings.documentMode));
  }
  const QString heading = lines.empty() ? FileSettingsForm::tr("Own settings, the same as the book's")
                                        : FileSettingsForm::tr("Own settings:");
  lines.prepend(heading);
  return lines.join(u'\n');
}

FileSettingsDialog::FileSettingsDialog(UserDialogs& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  auto* rows = new QVBoxLayout(this);
  rows->setSizeConstraint(QLayout::SetFixedSize);
  useBookCheck = new QCheckBox(tr("Use the book's settings"), this);
  useBookCheck->setToolTip(tr("The file takes the book's settings, and follows them when they change"));
  rows->addWidget(useBookCheck);
  form = new FileSettingsForm(this);
  rows->addWidget(form);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  okButton->setDefault(true);
  cancelButton = buttons->button(QDialogButtonBox::Cancel);
  cancelButton->setAutoDefault(false);
  PressOnEnter(*cancelButton);
  rows->addWidget(buttons);
  connect(useBookCheck, &QCheckBox::toggled, this, [this](bool useBook) {
    if (useBook) form->ReadSettings(own_);  // kept, should the file's own be wanted again
    ShowChoice();
  });
  connect(okButton, &QPushButton::clicked, this, &FileSettingsDialog::OnOk);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

bool FileSettingsDialog::UsesBookSettings() const { return forFile_ && useBookCheck->isChecked(); }

void FileSettingsDialog::ShowChoice() {
  const bool useBook = UsesBookSettings();
  form->ShowSettings(useBook ? bookSettings_ : own_, groups_);
  form->setEnabled(!useBook);
}

bool FileSettingsDialog::Execute(FileItem& item, const FileSettings& bookSettings) {
  bookSettings_ = bookSettings;
  own_ = item.Settings();
  forFile_ = true;
  useBookCheck->setVisible(true);
  {
    const QSignalBlocker block(useBookCheck);
    useBookCheck->setChecked(!item.HasOwnSettings());
  }
  if (!Run(tr("File Settings - %1").arg(QString::fromStdU16String(item.ShortName())), item.UsedSettings()))
    return false;
  if (UsesBookSettings())
    item.SetSettings(bookSettings_);
  else
    item.SetSettings(own_, true);
  return true;
}

bool FileSettingsDialog::Execute(FileSettings& bookSettings) {
  own_ = bookSettings;
  forFile_ = false;
  useBookCheck->setVisible(false);
  if (!Run(tr("Book Settings"), {.text = true, .pictures = true, .allFrames = true, .document = true})) return false;
  bookSettings = own_;
  return true;
}

bool FileSettingsDialog::Run(const QString& title, const SettingGroups& groups) {
  setWindowTitle(title);
  groups_ = groups;
  ShowChoice();
  okButton->setFocus();
  layout()->activate();  // the size of the groups shown, before the dialog is placed
  adjustSize();
  return exec() == QDialog::Accepted;
}

void FileSettingsDialog::OnOk() {
  if (!UsesBookSettings()) {
    if (!form->CheckSettings(messages_)) return;
    form->ReadSettings(own_);
  }
  accept();
}

}  // namespace bookloom
