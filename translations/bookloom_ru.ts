<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>Core</name>
    <message>
        <source>no such file</source>
        <translation>нет такого файла</translation>
    </message>
    <message>
        <source>is a folder</source>
        <translation>это папка</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>это не обычный файл</translation>
    </message>
    <message>
        <source>has no file type extension</source>
        <translation>нет расширения, по которому узнаётся тип файла</translation>
    </message>
    <message>
        <source>unknown file type .%1</source>
        <translation>неизвестный тип файла .%1</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>не удаётся прочитать</translation>
    </message>
    <message>
        <source>cannot be decoded</source>
        <translation>не удаётся декодировать</translation>
    </message>
    <message numerus="yes">
        <source>%n character(s) replaced</source>
        <translation>
            <numerusform>%n символ заменён</numerusform>
            <numerusform>%n символа заменено</numerusform>
            <numerusform>%n символов заменено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n character(s) dropped</source>
        <translation>
            <numerusform>%n символ удалён</numerusform>
            <numerusform>%n символа удалено</numerusform>
            <numerusform>%n символов удалено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n dropped</source>
        <translation>
            <numerusform>%1 и %n удалён</numerusform>
            <numerusform>%1 и %n удалено</numerusform>
            <numerusform>%1 и %n удалено</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;%1&quot; dropped</source>
        <translation>&quot;%1&quot; удалён</translation>
    </message>
    <message>
        <source>%1 (line %2)</source>
        <translation>%1 (строка %2)</translation>
    </message>
    <message numerus="yes">
        <source>%n byte sequence(s) that are no %1 replaced by U+FFFD, the first on line %2</source>
        <translation>
            <numerusform>%n последовательность байтов не в %1 заменена на U+FFFD, первая в строке %2</numerusform>
            <numerusform>%n последовательности байтов не в %1 заменены на U+FFFD, первая в строке %2</numerusform>
            <numerusform>%n последовательностей байтов не в %1 заменены на U+FFFD, первая в строке %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n control character(s) left out, the first on line %1</source>
        <translation>
            <numerusform>%n управляющий символ пропущен, первый в строке %1</numerusform>
            <numerusform>%n управляющих символа пропущено, первый в строке %1</numerusform>
            <numerusform>%n управляющих символов пропущено, первый в строке %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n table-of-contents entries left out, as a book holds at most 255 under one entry (the first: &quot;%1&quot;%2)</source>
        <translation>
            <numerusform>%n пункт оглавления пропущен: под одним пунктом книга держит не больше 255 (первый: &quot;%1&quot;%2)</numerusform>
            <numerusform>%n пункта оглавления пропущено: под одним пунктом книга держит не больше 255 (первый: &quot;%1&quot;%2)</numerusform>
            <numerusform>%n пунктов оглавления пропущено: под одним пунктом книга держит не больше 255 (первый: &quot;%1&quot;%2)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n headings below the third level of the table of contents have no entry (the first: &quot;%1&quot;%2)</source>
        <translation>
            <numerusform>%n заголовок ниже третьего уровня оглавления не получил пункта (первый: &quot;%1&quot;%2)</numerusform>
            <numerusform>%n заголовка ниже третьего уровня оглавления не получили пункта (первый: &quot;%1&quot;%2)</numerusform>
            <numerusform>%n заголовков ниже третьего уровня оглавления не получили пункта (первый: &quot;%1&quot;%2)</numerusform>
        </translation>
    </message>
    <message>
        <source> on line %1</source>
        <translation> в строке %1</translation>
    </message>
    <message numerus="yes">
        <source>table of contents: %n entries are left out (one entry of a book holds at most 255)</source>
        <translation>
            <numerusform>оглавление: %n пункт пропущен (под одним пунктом книга держит не больше 255)</numerusform>
            <numerusform>оглавление: %n пункта пропущено (под одним пунктом книга держит не больше 255)</numerusform>
            <numerusform>оглавление: %n пунктов пропущено (под одним пунктом книга держит не больше 255)</numerusform>
        </translation>
    </message>
    <message>
        <source>table of contents: &quot;%1&quot; leads to no page of the book</source>
        <translation>оглавление: &quot;%1&quot; не ведёт ни на одну страницу книги</translation>
    </message>
    <message>
        <source>outline: &quot;%1&quot; leads to no page</source>
        <translation>оглавление документа: &quot;%1&quot; не ведёт ни на одну страницу</translation>
    </message>
    <message>
        <source>the outline cannot be read</source>
        <translation>оглавление документа не читается</translation>
    </message>
    <message>
        <source>the spine names &quot;%1&quot;, which the package does not list</source>
        <translation>в порядке чтения названо &quot;%1&quot;, чего нет в описи книги</translation>
    </message>
    <message>
        <source>the picture is incomplete (the file is cut short or damaged): its pages show what could be read</source>
        <translation>рисунок неполон (файл обрезан или повреждён): его страницы показывают то, что удалось прочесть</translation>
    </message>
    <message>
        <source>%1 of its %2 left out (--all-frames makes every one a page)</source>
        <translation>пропущено: %1 из %2 (с --all-frames страницей станет каждый кадр)</translation>
    </message>
    <message numerus="yes">
        <source>%n page(s) or frame(s)</source>
        <translation>
            <numerusform>%n страница или кадр</numerusform>
            <numerusform>%n страницы или кадра</numerusform>
            <numerusform>%n страниц или кадров</numerusform>
        </translation>
    </message>
    <message>
        <source>picture &quot;%1&quot; %2</source>
        <translation>рисунок &quot;%1&quot; %2</translation>
    </message>
    <message>
        <source>picture &quot;%1&quot;</source>
        <translation>рисунок &quot;%1&quot;</translation>
    </message>
    <message>
        <source>is not inside the book</source>
        <translation>не внутри книги</translation>
    </message>
    <message>
        <source>leads out of the book</source>
        <translation>ведёт за пределы книги</translation>
    </message>
    <message>
        <source>is missing from the book</source>
        <translation>отсутствует в книге</translation>
    </message>
    <message>
        <source>is not next to the page</source>
        <translation>лежит не рядом со страницей</translation>
    </message>
    <message>
        <source>lies outside the page&apos;s folder</source>
        <translation>лежит вне папки страницы</translation>
    </message>
    <message>
        <source>is missing (no such file)</source>
        <translation>отсутствует (нет такого файла)</translation>
    </message>
    <message>
        <source>no decoder reads this kind of picture</source>
        <translation>ни один декодер не читает такие рисунки</translation>
    </message>
    <message>
        <source>the picture is missing from the file</source>
        <translation>рисунка нет в файле</translation>
    </message>
    <message>
        <source>larger than the limit of a picture</source>
        <translation>больше предела для рисунка</translation>
    </message>
    <message>
        <source>only pictures and texts are taken from a folder</source>
        <translation>из папки берутся только рисунки и тексты</translation>
    </message>
    <message>
        <source>the %1 it gives the book is cut to %2 of its %3 characters</source>
        <translation>%1, которое файл даёт книге, сокращено до %2 из %3 символов</translation>
    </message>
    <message>
        <source>title</source>
        <translation>название</translation>
    </message>
    <message>
        <source>subject</source>
        <translation>жанр</translation>
    </message>
    <message>
        <source>author</source>
        <translation>автор</translation>
    </message>
    <message>
        <source>adapter</source>
        <translation>обработчик</translation>
    </message>
    <message>
        <source>translator</source>
        <translation>переводчик</translation>
    </message>
    <message>
        <source>publisher</source>
        <translation>издатель</translation>
    </message>
    <message>
        <source>publish-time</source>
        <translation>год издания</translation>
    </message>
    <message>
        <source>annotation</source>
        <translation>аннотация</translation>
    </message>
    <message>
        <source>isbn</source>
        <translation>ISBN</translation>
    </message>
    <message>
        <source>%1: left out</source>
        <translation>%1: пропущено</translation>
    </message>
    <message>
        <source>picture %1 (of no known kind)</source>
        <translation>рисунок %1 (неизвестного вида)</translation>
    </message>
    <message>
        <source>picture %1 (%2)</source>
        <translation>рисунок %1 (%2)</translation>
    </message>
    <message>
        <source>picture %1</source>
        <translation>рисунок %1</translation>
    </message>
    <message>
        <source>drawing %1</source>
        <translation>рисунок SVG %1</translation>
    </message>
    <message>
        <source>All supported formats</source>
        <translation>Все поддерживаемые форматы</translation>
    </message>
    <message>
        <source>Text documents</source>
        <translation>Текстовые документы</translation>
    </message>
    <message>
        <source>Plain text file</source>
        <translation>Простой текстовый файл</translation>
    </message>
    <message>
        <source>Release notes</source>
        <translation>Сведения о выпуске</translation>
    </message>
    <message>
        <source>Log file</source>
        <translation>Файл журнала</translation>
    </message>
    <message>
        <source>Windows bitmaps</source>
        <translation>Точечные рисунки Windows</translation>
    </message>
    <message>
        <source>Windows icons</source>
        <translation>Значки Windows</translation>
    </message>
    <message>
        <source>Windows metafiles</source>
        <translation>Метафайлы Windows</translation>
    </message>
    <message>
        <source>Windows enhanced meta files</source>
        <translation>Расширенные метафайлы Windows</translation>
    </message>
    <message>
        <source>JPG images</source>
        <translation>Рисунки JPG</translation>
    </message>
    <message>
        <source>JFIF images</source>
        <translation>Рисунки JFIF</translation>
    </message>
    <message>
        <source>JPE images</source>
        <translation>Рисунки JPE</translation>
    </message>
    <message>
        <source>JPEG images</source>
        <translation>Рисунки JPEG</translation>
    </message>
    <message>
        <source>Run length encoded Windows bitmaps</source>
        <translation>Точечные рисунки Windows, сжатые RLE</translation>
    </message>
    <message>
        <source>Device independant Windows bitmaps</source>
        <translation>Аппаратно-независимые точечные рисунки Windows</translation>
    </message>
    <message>
        <source>Truevision images</source>
        <translation>Рисунки Truevision</translation>
    </message>
    <message>
        <source>Tagged image file format images</source>
        <translation>Рисунки TIFF</translation>
    </message>
    <message>
        <source>Macintosh TIFF images</source>
        <translation>Рисунки TIFF для Macintosh</translation>
    </message>
    <message>
        <source>PC TIF images</source>
        <translation>Рисунки TIF для PC</translation>
    </message>
    <message>
        <source>GFI fax images</source>
        <translation>Факсы GFI</translation>
    </message>
    <message>
        <source>Encapsulated Postscript images</source>
        <translation>Рисунки Encapsulated PostScript</translation>
    </message>
    <message>
        <source>ZSoft Paintbrush images</source>
        <translation>Рисунки ZSoft Paintbrush</translation>
    </message>
    <message>
        <source>Word 5.x screen capture images</source>
        <translation>Снимки экрана Word 5.x</translation>
    </message>
    <message>
        <source>Alias/Wavefront images</source>
        <translation>Рисунки Alias/Wavefront</translation>
    </message>
    <message>
        <source>SGI images</source>
        <translation>Рисунки SGI</translation>
    </message>
    <message>
        <source>SGI true color images</source>
        <translation>Полноцветные рисунки SGI</translation>
    </message>
    <message>
        <source>SGI true color images with alpha</source>
        <translation>Полноцветные рисунки SGI с прозрачностью</translation>
    </message>
    <message>
        <source>SGI black/white images</source>
        <translation>Чёрно-белые рисунки SGI</translation>
    </message>
    <message>
        <source>Photoshop images</source>
        <translation>Рисунки Photoshop</translation>
    </message>
    <message>
        <source>Portable map images</source>
        <translation>Рисунки Portable map</translation>
    </message>
    <message>
        <source>Portable pixel map images</source>
        <translation>Рисунки Portable pixel map</translation>
    </message>
    <message>
        <source>Portable gray map images</source>
        <translation>Рисунки Portable gray map</translation>
    </message>
    <message>
        <source>Portable bitmap images</source>
        <translation>Рисунки Portable bitmap</translation>
    </message>
    <message>
        <source>Autodesk images</source>
        <translation>Рисунки Autodesk</translation>
    </message>
    <message>
        <source>Kodak Photo-CD images</source>
        <translation>Рисунки Kodak Photo-CD</translation>
    </message>
    <message>
        <source>Dr. Halo images</source>
        <translation>Рисунки Dr. Halo</translation>
    </message>
    <message>
        <source>Paintshop Pro images</source>
        <translation>Рисунки Paintshop Pro</translation>
    </message>
    <message>
        <source>Portable network graphic images</source>
        <translation>Рисунки PNG</translation>
    </message>
    <message>
        <source>CompuServe GIF images</source>
        <translation>Рисунки CompuServe GIF</translation>
    </message>
    <message>
        <source>WebP images</source>
        <translation>Рисунки WebP</translation>
    </message>
    <message>
        <source>SVG drawings</source>
        <translation>Рисунки SVG</translation>
    </message>
    <message>
        <source>JPEG XL images</source>
        <translation>Рисунки JPEG XL</translation>
    </message>
    <message>
        <source>AVIF images</source>
        <translation>Рисунки AVIF</translation>
    </message>
    <message>
        <source>HEIF images</source>
        <translation>Рисунки HEIF</translation>
    </message>
    <message>
        <source>HEIC images</source>
        <translation>Рисунки HEIC</translation>
    </message>
    <message>
        <source>FictionBook books</source>
        <translation>Книги FictionBook</translation>
    </message>
    <message>
        <source>FB2 books</source>
        <translation>Книги FB2</translation>
    </message>
    <message>
        <source>FB2 books in zip archives</source>
        <translation>Книги FB2 в архивах zip</translation>
    </message>
    <message>
        <source>EPUB books</source>
        <translation>Книги EPUB</translation>
    </message>
    <message>
        <source>Web pages</source>
        <translation>Веб-страницы</translation>
    </message>
    <message>
        <source>HTML pages</source>
        <translation>Страницы HTML</translation>
    </message>
    <message>
        <source>XHTML pages</source>
        <translation>Страницы XHTML</translation>
    </message>
    <message>
        <source>Kindle books</source>
        <translation>Книги Kindle</translation>
    </message>
    <message>
        <source>MOBI books</source>
        <translation>Книги MOBI</translation>
    </message>
    <message>
        <source>KF8 books</source>
        <translation>Книги KF8</translation>
    </message>
    <message>
        <source>Mobipocket books</source>
        <translation>Книги Mobipocket</translation>
    </message>
    <message>
        <source>Word documents</source>
        <translation>Документы Word</translation>
    </message>
    <message>
        <source>OpenDocument texts</source>
        <translation>Тексты OpenDocument</translation>
    </message>
    <message>
        <source>Rich text documents</source>
        <translation>Документы RTF</translation>
    </message>
    <message>
        <source>Markdown texts</source>
        <translation>Тексты Markdown</translation>
    </message>
    <message>
        <source>Comic archives</source>
        <translation>Архивы комиксов</translation>
    </message>
    <message>
        <source>Comic book zip archives</source>
        <translation>Комиксы в архивах zip</translation>
    </message>
    <message>
        <source>Zip archives of pictures</source>
        <translation>Архивы zip с рисунками</translation>
    </message>
    <message>
        <source>Comic book RAR archives</source>
        <translation>Комиксы в архивах RAR</translation>
    </message>
    <message>
        <source>RAR archives of pictures</source>
        <translation>Архивы RAR с рисунками</translation>
    </message>
    <message>
        <source>Comic book 7z archives</source>
        <translation>Комиксы в архивах 7z</translation>
    </message>
    <message>
        <source>7z archives of pictures</source>
        <translation>Архивы 7z с рисунками</translation>
    </message>
    <message>
        <source>Comic book tar archives</source>
        <translation>Комиксы в архивах tar</translation>
    </message>
    <message>
        <source>Tar archives of pictures</source>
        <translation>Архивы tar с рисунками</translation>
    </message>
    <message>
        <source>PDF documents</source>
        <translation>Документы PDF</translation>
    </message>
    <message>
        <source>PDF documents (their text, or pictures of their pages)</source>
        <translation>Документы PDF (их текст или рисунки их страниц)</translation>
    </message>
    <message>
        <source>DjVu documents</source>
        <translation>Документы DjVu</translation>
    </message>
    <message>
        <source>DjVu documents (their hidden text, or pictures of their pages)</source>
        <translation>Документы DjVu (их скрытый текст или рисунки их страниц)</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 Б</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 КБ</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 МБ</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 ГБ</translation>
    </message>
    <message>
        <source>%1 TB</source>
        <translation>%1 ТБ</translation>
    </message>
    <message>
        <source>Cannot read picture &quot;%1&quot;</source>
        <translation>Не удаётся прочитать рисунок &quot;%1&quot;</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;</source>
        <translation>Не удаётся прочитать &quot;%1&quot;</translation>
    </message>
    <message>
        <source>The book &quot;%1&quot; would replace its own input file &quot;%2&quot;</source>
        <translation>Книга &quot;%1&quot; заменила бы свой входной файл &quot;%2&quot;</translation>
    </message>
    <message>
        <source>The book &quot;%1&quot; would replace a file of its input &quot;%2&quot;</source>
        <translation>Книга &quot;%1&quot; заменила бы файл из своего входа &quot;%2&quot;</translation>
    </message>
    <message>
        <source>The book &quot;%1&quot; would replace its own cover picture</source>
        <translation>Книга &quot;%1&quot; заменила бы свой рисунок обложки</translation>
    </message>
    <message>
        <source>The build was cancelled</source>
        <translation>Сборка отменена</translation>
    </message>
    <message>
        <source>The book would reach 4 GiB, more than a Wolf book can hold</source>
        <translation>Книга достигла бы 4 ГиБ — больше, чем вмещает книга Wolf</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Не удаётся открыть файл &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot open folder &quot;%1&quot;. %2</source>
        <translation>Не удаётся открыть папку &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Не удаётся прочитать файл &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Не удаётся создать файл &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot write to file &quot;%1&quot;. %2</source>
        <translation>Не удаётся записать в файл &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>Cannot replace file &quot;%1&quot;. %2</source>
        <translation>Не удаётся заменить файл &quot;%1&quot;. %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a Bookloom project</source>
        <translation>&quot;%1&quot; — не проект Bookloom</translation>
    </message>
    <message>
        <source>&quot;%1&quot; was written by a newer Bookloom</source>
        <translation>&quot;%1&quot; записан более новой версией Bookloom</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a readable project: %2</source>
        <translation>&quot;%1&quot; — проект, который не удаётся прочитать: %2</translation>
    </message>
    <message>
        <source>it is damaged or cut short at byte %1</source>
        <translation>он повреждён или обрывается на байте %1</translation>
    </message>
</context>
<context>
    <name>bookloom::AboutDialog</name>
    <message>
        <source>Copyright © 2026 the Bookloom developers</source>
        <translation>© 2026 разработчики Bookloom</translation>
    </message>
    <message>
        <source>Wolf e-books from texts and pictures</source>
        <translation>Книги Wolf из текстов и картинок</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>version %1</source>
        <translation>версия %1</translation>
    </message>
    <message>
        <source>About Bookloom</source>
        <translation>О программе Bookloom</translation>
    </message>
    <message>
        <source>Build %1</source>
        <translation>Сборка %1</translation>
    </message>
</context>
<context>
    <name>bookloom::BookViewer</name>
    <message>
        <source>Title</source>
        <translation>Название</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Жанр</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Автор</translation>
    </message>
    <message>
        <source>Adapter</source>
        <translation>Обработка</translation>
    </message>
    <message>
        <source>Translator</source>
        <translation>Переводчик</translation>
    </message>
    <message>
        <source>Written</source>
        <translation>Написано</translation>
    </message>
    <message>
        <source>Publisher</source>
        <translation>Издательство</translation>
    </message>
    <message>
        <source>Published</source>
        <translation>Год издания</translation>
    </message>
    <message>
        <source>Rights</source>
        <translation>Права</translation>
    </message>
    <message>
        <source>Character set</source>
        <translation>Кодировка</translation>
    </message>
    <message>
        <source>Patent</source>
        <translation>Патент</translation>
    </message>
    <message>
        <source>Annotation</source>
        <translation>Аннотация</translation>
    </message>
    <message>
        <source>ISBN</source>
        <translation>ISBN</translation>
    </message>
    <message>
        <source>Publishing house</source>
        <translation>Издательский дом</translation>
    </message>
    <message>
        <source>Book number</source>
        <translation>Номер книги</translation>
    </message>
    <message>
        <source>Software version</source>
        <translation>Версия программы</translation>
    </message>
    <message>
        <source>Produced</source>
        <translation>Изготовлено</translation>
    </message>
    <message>
        <source>All about it</source>
        <translation>Общие сведения</translation>
    </message>
    <message>
        <source>Bookloom projects and Wolf books|*.bookloom;*.wol|Bookloom projects|*.bookloom|Wolf books|*.wol|All Files|*.*|</source>
        <translation>Проекты Bookloom и книги Wolf|*.bookloom;*.wol|Проекты Bookloom|*.bookloom|Книги Wolf|*.wol|Все файлы|*.*|</translation>
    </message>
    <message>
        <source>%1 — Wolf book</source>
        <translation>%1 — книга Wolf</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Содержание</translation>
    </message>
    <message>
        <source>&amp;Description</source>
        <translation>&amp;Описание</translation>
    </message>
    <message>
        <source>Book c&amp;heck</source>
        <translation>&amp;Проверка</translation>
    </message>
    <message>
        <source>&amp;Layout:</source>
        <translation>&amp;Шрифт и ориентация:</translation>
    </message>
    <message>
        <source>Small letters</source>
        <translation>Мелкий шрифт</translation>
    </message>
    <message>
        <source>Large letters</source>
        <translation>Крупный шрифт</translation>
    </message>
    <message>
        <source>Small letters, landscape</source>
        <translation>Мелкий шрифт, альбомная</translation>
    </message>
    <message>
        <source>Large letters, landscape</source>
        <translation>Крупный шрифт, альбомная</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Назад</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Вперёд</translation>
    </message>
    <message>
        <source>A Wolf book is finished: it can be read here but not edited back into a project. To change it, make it again from the files it was made from.</source>
        <translation>Книга Wolf уже готова: здесь её можно читать, но нельзя снова превратить в проект. Чтобы изменить её, сделайте её заново из тех файлов, из которых она сделана.</translation>
    </message>
    <message>
        <source>The book has no description.</source>
        <translation>У книги нет описания.</translation>
    </message>
    <message>
        <source>The book cannot be shown: it is damaged or not a Wolf book.</source>
        <translation>Книгу нельзя показать: она повреждена или это не книга Wolf.</translation>
    </message>
    <message>
        <source>Size in bytes</source>
        <translation>Размер в байтах</translation>
    </message>
    <message>
        <source>Cover</source>
        <translation>Обложка</translation>
    </message>
    <message numerus="yes">
        <source>%1 × %2, %n bits a pixel</source>
        <translation>
            <numerusform>%1 × %2, %n бит на точку</numerusform>
            <numerusform>%1 × %2, %n бита на точку</numerusform>
            <numerusform>%1 × %2, %n бит на точку</numerusform>
        </translation>
    </message>
    <message>
        <source>none</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>Sections</source>
        <translation>Разделы</translation>
    </message>
    <message>
        <source>Paragraphs</source>
        <translation>Абзацы</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Рисунки</translation>
    </message>
    <message>
        <source>Contents entries</source>
        <translation>Пункты содержания</translation>
    </message>
    <message>
        <source>Pages: %1</source>
        <translation>Страниц: %1</translation>
    </message>
    <message>
        <source>The book is sound: its structure, text, page tables, pictures and contents were all checked.</source>
        <translation>Книга в порядке: проверены её строение, текст, таблицы страниц, рисунки и содержание.</translation>
    </message>
    <message numerus="yes">
        <source>The book is readable, with %n warnings:</source>
        <translation>
            <numerusform>Книгу можно читать, но есть %n предупреждение:</numerusform>
            <numerusform>Книгу можно читать, но есть %n предупреждения:</numerusform>
            <numerusform>Книгу можно читать, но есть %n предупреждений:</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing to show</source>
        <translation>Нечего показать</translation>
    </message>
    <message>
        <source>The book cannot be shown:
%1</source>
        <translation>Книгу нельзя показать:
%1</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
    <message>
        <source>The book has no pages.</source>
        <translation>В книге нет страниц.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is neither a Bookloom project nor a Wolf book, so it cannot be opened. To make a book of it, add it to the list with Add File.</source>
        <translation>&quot;%1&quot; — не проект Bookloom и не книга Wolf, поэтому его нельзя открыть. Чтобы сделать из него книгу, добавьте его в список командой &quot;Добавить файл&quot;.</translation>
    </message>
</context>
<context>
    <name>bookloom::BuildDialog</name>
    <message>
        <source>Make Wolf</source>
        <translation>Создать книгу Wolf</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Writing file %1 of %2: %3</source>
        <translation>Запись файла %1 из %2: %3</translation>
    </message>
    <message numerus="yes">
        <source>%n pages so far</source>
        <translation>
            <numerusform>Записана %n страница</numerusform>
            <numerusform>Записано %n страницы</numerusform>
            <numerusform>Записано %n страниц</numerusform>
        </translation>
    </message>
    <message>
        <source>, %1 left</source>
        <translation>, осталось %1</translation>
    </message>
    <message>
        <source>Cancelling...</source>
        <translation>Остановка…</translation>
    </message>
</context>
<context>
    <name>bookloom::ContentsDialog</name>
    <message>
        <source>Table of contents</source>
        <translation>Оглавление</translation>
    </message>
    <message>
        <source>Entry</source>
        <translation>Пункт</translation>
    </message>
    <message>
        <source>Level</source>
        <translation>Уровень</translation>
    </message>
    <message>
        <source>Level up</source>
        <translation>Уровнем выше</translation>
    </message>
    <message>
        <source>Move the entry one level up</source>
        <translation>Поднять пункт на уровень выше</translation>
    </message>
    <message>
        <source>Level down</source>
        <translation>Уровнем ниже</translation>
    </message>
    <message>
        <source>Move the entry one level down, below the entry before it</source>
        <translation>Опустить пункт на уровень ниже, под предыдущий пункт</translation>
    </message>
    <message>
        <source>Leave out</source>
        <translation>Исключить</translation>
    </message>
    <message>
        <source>Leave the entry out of the book, or put it back</source>
        <translation>Исключить пункт из книги или вернуть его</translation>
    </message>
    <message>
        <source>Detect chapters</source>
        <translation>Найти главы</translation>
    </message>
    <message>
        <source>Find the chapters of every text file</source>
        <translation>Найти главы во всех текстовых файлах</translation>
    </message>
    <message>
        <source>Double-click an entry to rename it; clear its check to leave it out.</source>
        <translation>Дважды щёлкните пункт, чтобы переименовать его; снимите флажок, чтобы исключить его.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>(cannot be read: %1)</source>
        <translation>(не удаётся прочитать: %1)</translation>
    </message>
    <message>
        <source>%1 (too deep)</source>
        <translation>%1 (слишком глубоко)</translation>
    </message>
    <message>
        <source>Originally: %1</source>
        <translation>Исходно: %1</translation>
    </message>
    <message>
        <source>Put back</source>
        <translation>Вернуть</translation>
    </message>
</context>
<context>
    <name>bookloom::CoverPageDialog</name>
    <message>
        <source>Edit Cover Page</source>
        <translation>Обложка книги</translation>
    </message>
</context>
<context>
    <name>bookloom::CoverPagePanel</name>
    <message>
        <source>Don&apos;t add cover page</source>
        <translation>Без обложки</translation>
    </message>
    <message>
        <source>Monochrome</source>
        <translation>Чёрно-белая</translation>
    </message>
    <message>
        <source>Gray (4 levels)</source>
        <translation>Серая (4 уровня)</translation>
    </message>
    <message>
        <source>Select image for cover</source>
        <translation>Выберите картинку для обложки</translation>
    </message>
    <message>
        <source>&amp;Load Picture…</source>
        <translation>&amp;Загрузить картинку…</translation>
    </message>
    <message>
        <source>Cover Settings</source>
        <translation>Настройки обложки</translation>
    </message>
    <message>
        <source>Cover &amp;page:</source>
        <translation>&amp;Обложка:</translation>
    </message>
    <message>
        <source>&amp;Enlarge cover page</source>
        <translation>&amp;Увеличить обложку</translation>
    </message>
    <message>
        <source>Cover Margins</source>
        <translation>Поля обложки</translation>
    </message>
    <message>
        <source>Le&amp;ft:</source>
        <translation>С&amp;лева:</translation>
    </message>
    <message>
        <source>&amp;Right:</source>
        <translation>С&amp;права:</translation>
    </message>
    <message>
        <source>&amp;Top:</source>
        <translation>С&amp;верху:</translation>
    </message>
    <message>
        <source>&amp;Bottom:</source>
        <translation>Сн&amp;изу:</translation>
    </message>
    <message>
        <source>&amp;Update</source>
        <translation>О&amp;бновить</translation>
    </message>
    <message>
        <source>Without a picture, set the &amp;title and author on it</source>
        <translation>Без картинки — &amp;название и автор на обложке</translation>
    </message>
    <message>
        <source>When no picture is chosen and no file offers a cover, the book gets a cover with its title, author and series</source>
        <translation>Если картинка не выбрана и ни один файл не даёт обложки, книга получит обложку с названием, автором и серией</translation>
    </message>
</context>
<context>
    <name>bookloom::DescriptionDialog</name>
    <message>
        <source>Book Description</source>
        <translation>Описание книги</translation>
    </message>
    <message>
        <source>You are entered a symbol (%1), which<byte value="xd"/>
cannot be represented in Windows-1251 code page!</source>
        <translation>Вы ввели символ (%1), который<byte value="xd"/>
нельзя представить в кодовой странице Windows-1251!</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Название:</translation>
    </message>
    <message>
        <source>A&amp;uthor:</source>
        <translation>&amp;Автор:</translation>
    </message>
    <message>
        <source>&amp;Subject (genre):</source>
        <translation>&amp;Тема (жанр):</translation>
    </message>
    <message>
        <source>Adapted &amp;by:</source>
        <translation>Адаптац&amp;ия:</translation>
    </message>
    <message>
        <source>T&amp;ranslator:</source>
        <translation>&amp;Переводчик:</translation>
    </message>
    <message>
        <source>&amp;Publisher:</source>
        <translation>&amp;Издательство:</translation>
    </message>
    <message>
        <source>Publication &amp;date:</source>
        <translation>&amp;Год издания:</translation>
    </message>
    <message>
        <source>&amp;ISBN:</source>
        <translation>IS&amp;BN:</translation>
    </message>
    <message>
        <source>A&amp;nnotation:</source>
        <translation>А&amp;ннотация:</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a valid ISBN: its check digit does not match. Keep it all the same?</source>
        <translation>&quot;%1&quot; — неверный ISBN: его контрольная цифра не сходится. Оставить его всё равно?</translation>
    </message>
</context>
<context>
    <name>bookloom::FileListModel</name>
    <message>
        <source>File Name</source>
        <translation>Имя файла</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Путь</translation>
    </message>
</context>
<context>
    <name>bookloom::FileSettingsDialog</name>
    <message>
        <source>Use the book&apos;s settings</source>
        <translation>Использовать настройки книги</translation>
    </message>
    <message>
        <source>The file takes the book&apos;s settings, and follows them when they change</source>
        <translation>Файл берёт настройки книги и следует им, когда они меняются</translation>
    </message>
    <message>
        <source>File Settings - %1</source>
        <translation>Настройки файла — %1</translation>
    </message>
    <message>
        <source>Book Settings</source>
        <translation>Настройки книги</translation>
    </message>
</context>
<context>
    <name>bookloom::FileSettingsForm</name>
    <message>
        <source>Texts</source>
        <translation>Тексты</translation>
    </message>
    <message>
        <source>The encoding of the text: Automatic tells it from the bytes; any name iconv knows may be typed, such as CP1251, KOI8-R or UTF-16LE</source>
        <translation>Кодировка текста: &quot;Автоматически&quot; определяет её по содержимому; можно ввести любое имя, известное iconv, например CP1251, KOI8-R или UTF-16LE</translation>
    </message>
    <message>
        <source>%1:</source>
        <translation>%1:</translation>
    </message>
    <message>
        <source>Make the headings of the text (parts, chapters, numerals alone, prologue and epilogue) sections and table-of-contents entries</source>
        <translation>Сделать заголовки текста (части, главы, номера, пролог и эпилог) разделами и пунктами оглавления</translation>
    </message>
    <message>
        <source>Headings of your own, one per line: ICU regular expressions that match the whole line</source>
        <translation>Свои заголовки, по одному в строке: регулярные выражения ICU, совпадающие со всей строкой</translation>
    </message>
    <message>
        <source>Join the lines of a hard-wrapped text into paragraphs: On joins the lines between blank lines, Automatic decides by the text, Off keeps every line a paragraph</source>
        <translation>Склеивать строки текста с жёсткими переносами в абзацы: &quot;Да&quot; склеивает строки между пустыми строками, &quot;Автоматически&quot; решает по тексту, &quot;Нет&quot; оставляет каждую строку абзацем</translation>
    </message>
    <message>
        <source>Pictures</source>
        <translation>Картинки</translation>
    </message>
    <message>
        <source>Pictures in four greys, or in black and white: crisper line art and text scans, a smaller book</source>
        <translation>Картинки в четырёх оттенках серого или чёрно-белые: чётче штриховые рисунки и сканы текста, книга меньше</translation>
    </message>
    <message>
        <source>Turn pictures a quarter: wide pictures (wider than high) clockwise, to fill the page, or every picture counter-clockwise (left) or clockwise (right)</source>
        <translation>Поворачивать картинки на четверть оборота: широкие (шире, чем выше) по часовой стрелке, чтобы заполнить страницу, или все картинки против часовой стрелки (влево) или по часовой (вправо)</translation>
    </message>
    <message>
        <source>Make a double-page spread (wider than 1.2 times its height) two pages, in the order the book is read; splitting comes before rotating</source>
        <translation>Делить разворот (шире 1,2 своей высоты) на две страницы в порядке чтения книги; деление идёт до поворота</translation>
    </message>
    <message>
        <source>The gamma of the greys before scaling: above 1 lightens the middle greys, below 1 darkens them</source>
        <translation>Гамма оттенков серого до масштабирования: больше 1 осветляет средние тона, меньше 1 затемняет их</translation>
    </message>
    <message>
        <source>Scale pictures smaller than the page up to fill it</source>
        <translation>Увеличивать картинки меньше страницы, чтобы они заполнили её</translation>
    </message>
    <message>
        <source>Trim near-white or near-black borders (up to a fifth of each side) before fitting</source>
        <translation>Обрезать почти белые или почти чёрные поля (не больше пятой части каждой стороны) до вписывания</translation>
    </message>
    <message>
        <source>Stretch each picture&apos;s greys so that its darkest and lightest 0.5 % become black and white</source>
        <translation>Растягивать оттенки каждой картинки так, чтобы самые тёмные и самые светлые 0,5 % стали чёрными и белыми</translation>
    </message>
    <message>
        <source>Make every page of a multi-page TIFF and every frame of an animated GIF a page (otherwise the first)</source>
        <translation>Делать страницей каждую страницу многостраничного TIFF и каждый кадр анимированного GIF (иначе только первую)</translation>
    </message>
    <message>
        <source>The encoding &quot;%1&quot; is not known. Choose one of the list, or type another name iconv knows, such as CP1251 or KOI8-R.</source>
        <translation>Кодировка &quot;%1&quot; неизвестна. Выберите её из списка или введите другое имя, известное iconv, например CP1251 или KOI8-R.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Own settings, the same as the book&apos;s</source>
        <translation>Свои настройки, такие же, как у книги</translation>
    </message>
    <message>
        <source>Own settings:</source>
        <translation>Свои настройки:</translation>
    </message>
    <message>
        <source>Encoding</source>
        <translation>Кодировка</translation>
    </message>
    <message>
        <source>Chapters</source>
        <translation>Главы</translation>
    </message>
    <message>
        <source>Heading patterns</source>
        <translation>Образцы заголовков</translation>
    </message>
    <message>
        <source>Join lines</source>
        <translation>Склеивать строки</translation>
    </message>
    <message>
        <source>Picture mode</source>
        <translation>Цвета картинок</translation>
    </message>
    <message>
        <source>Enlarge</source>
        <translation>Увеличивать</translation>
    </message>
    <message>
        <source>Rotate</source>
        <translation>Поворот</translation>
    </message>
    <message>
        <source>Split</source>
        <translation>Разворот</translation>
    </message>
    <message>
        <source>Crop borders</source>
        <translation>Обрезать поля</translation>
    </message>
    <message>
        <source>Gamma</source>
        <translation>Гамма</translation>
    </message>
    <message>
        <source>Autolevel</source>
        <translation>Автоуровни</translation>
    </message>
    <message>
        <source>All frames</source>
        <translation>Все кадры</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>Автоматически</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Да</translation>
    </message>
    <message>
        <source>Four greys</source>
        <translation>Четыре оттенка серого</translation>
    </message>
    <message>
        <source>Black and white</source>
        <translation>Чёрно-белые</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Wide pictures</source>
        <translation>Широкие картинки</translation>
    </message>
    <message>
        <source>Every picture to the left</source>
        <translation>Все картинки влево</translation>
    </message>
    <message>
        <source>Every picture to the right</source>
        <translation>Все картинки вправо</translation>
    </message>
    <message>
        <source>Spreads, left half first</source>
        <translation>Развороты, сначала левая половина</translation>
    </message>
    <message>
        <source>Spreads, right half first</source>
        <translation>Развороты, сначала правая половина</translation>
    </message>
    <message>
        <source>on</source>
        <translation>да</translation>
    </message>
    <message>
        <source>off</source>
        <translation>нет</translation>
    </message>
    <message>
        <source>PDF read as</source>
        <translation>Читать PDF как</translation>
    </message>
    <message>
        <source>Its text</source>
        <translation>Его текст</translation>
    </message>
    <message>
        <source>Pictures of its pages</source>
        <translation>Изображения его страниц</translation>
    </message>
    <message>
        <source>A PDF&apos;s text as paragraphs and headings, with the pictures on its pages as pages, or each of its pages a picture: Automatic reads its text when its pages have a text layer, and keeps scans and drawings as pictures</source>
        <translation>Текст PDF — абзацами и заголовками, с рисунками его страниц отдельными страницами, или каждая его страница — рисунком: &quot;Автоматически&quot; читает текст, если у страниц есть текстовый слой, а сканы и чертежи оставляет рисунками</translation>
    </message>
    <message>
        <source>Words of its scans set again</source>
        <translation>Слова сканов, набранные заново</translation>
    </message>
    <message>
        <source>Spreads, right half first in a manga</source>
        <translation>Развороты, в манге сначала правая половина</translation>
    </message>
</context>
<context>
    <name>bookloom::MainWindow</name>
    <message>
        <source>Start a new book</source>
        <translation>Начать новую книгу</translation>
    </message>
    <message>
        <source>Save Project</source>
        <translation>Сохранить проект</translation>
    </message>
    <message>
        <source>Save the book project</source>
        <translation>Сохранить проект книги</translation>
    </message>
    <message>
        <source>Save the book project under a new name</source>
        <translation>Сохранить проект книги под другим именем</translation>
    </message>
    <message>
        <source>Set individual settings for file</source>
        <translation>Задать отдельные настройки файла</translation>
    </message>
    <message>
        <source>Page Preview</source>
        <translation>Просмотр страниц</translation>
    </message>
    <message>
        <source>The book was made with warnings</source>
        <translation>Книга создана с предупреждениями</translation>
    </message>
    <message numerus="yes">
        <source>Remove selected %n files from list?</source>
        <translation>
            <numerusform>Удалить из списка %n выбранный файл?</numerusform>
            <numerusform>Удалить из списка %n выбранных файла?</numerusform>
            <numerusform>Удалить из списка %n выбранных файлов?</numerusform>
        </translation>
    </message>
    <message>
        <source>Choose target name</source>
        <translation>Сохранить книгу как</translation>
    </message>
    <message>
        <source>Wolf Files|*.wol|All Files|*.*</source>
        <translation>Книги Wolf|*.wol|Все файлы|*.*</translation>
    </message>
    <message>
        <source>Bookloom projects|*.bookloom|All Files|*.*|</source>
        <translation>Проекты Bookloom|*.bookloom|Все файлы|*.*|</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Без имени</translation>
    </message>
    <message>
        <source>Settings of every file without its own</source>
        <translation>Настройки всех файлов, у которых нет своих</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Создать</translation>
    </message>
    <message>
        <source>&amp;Save Project</source>
        <translation>Со&amp;хранить проект</translation>
    </message>
    <message>
        <source>Save Project &amp;As…</source>
        <translation>Сохранить проект &amp;как…</translation>
    </message>
    <message>
        <source>&amp;Add Files…</source>
        <translation>&amp;Добавить файлы…</translation>
    </message>
    <message>
        <source>Add files to the book</source>
        <translation>Добавить файлы в книгу</translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation>Добавить &amp;папку…</translation>
    </message>
    <message>
        <source>Add the pictures and texts of a folder as one file</source>
        <translation>Добавить картинки и тексты папки одним файлом</translation>
    </message>
    <message>
        <source>&amp;Remove Files</source>
        <translation>&amp;Удалить файлы</translation>
    </message>
    <message>
        <source>Remove the selected files from the book</source>
        <translation>Удалить выбранные файлы из книги</translation>
    </message>
    <message>
        <source>Move &amp;Up</source>
        <translation>&amp;Выше</translation>
    </message>
    <message>
        <source>Move the selected files up</source>
        <translation>Переместить выбранные файлы выше</translation>
    </message>
    <message>
        <source>Move &amp;Down</source>
        <translation>Н&amp;иже</translation>
    </message>
    <message>
        <source>Move the selected files down</source>
        <translation>Переместить выбранные файлы ниже</translation>
    </message>
    <message>
        <source>File &amp;Settings…</source>
        <translation>&amp;Настройки файла…</translation>
    </message>
    <message>
        <source>&amp;Book Settings…</source>
        <translation>Настройки &amp;книги…</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>&amp;Table of Contents…</source>
        <translation>&amp;Оглавление…</translation>
    </message>
    <message>
        <source>&amp;Description…</source>
        <translation>О&amp;писание…</translation>
    </message>
    <message>
        <source>&amp;Cover Page…</source>
        <translation>О&amp;бложка…</translation>
    </message>
    <message>
        <source>&amp;Make Wolf…</source>
        <translation>&amp;Создать книгу Wolf…</translation>
    </message>
    <message>
        <source>&amp;About Bookloom</source>
        <translation>&amp;О программе Bookloom</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Недавние проекты</translation>
    </message>
    <message>
        <source>&amp;Wolf</source>
        <translation>&amp;Книга</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message numerus="yes">
        <source>%n of the files hold damaged pages or pictures. Leave those out of the book?</source>
        <translation>
            <numerusform>В %n файле есть повреждённые страницы или картинки. Оставить их вне книги?</numerusform>
            <numerusform>В %n файлах есть повреждённые страницы или картинки. Оставить их вне книги?</numerusform>
            <numerusform>В %n файлах есть повреждённые страницы или картинки. Оставить их вне книги?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of the files cannot be used and were not added</source>
        <translation>
            <numerusform>%n файл нельзя использовать: он не добавлен</numerusform>
            <numerusform>%n файла нельзя использовать: они не добавлены</numerusform>
            <numerusform>%n файлов нельзя использовать: они не добавлены</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Wrote %1 (%n file(s)).</source>
        <translation>
            <numerusform>Записана книга %1 (%n файл).</numerusform>
            <numerusform>Записана книга %1 (%n файла).</numerusform>
            <numerusform>Записана книга %1 (%n файлов).</numerusform>
        </translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>Показать в папке</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Добавить папку</translation>
    </message>
    <message>
        <source>cover</source>
        <translation>обложка</translation>
    </message>
    <message>
        <source>Some files of the project cannot be used</source>
        <translation>Некоторые файлы проекта нельзя использовать</translation>
    </message>
    <message>
        <source>Unable to write to %1.</source>
        <translation>Не удалось записать %1.</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>добавление файлов</translation>
    </message>
    <message>
        <source>Remove Files</source>
        <translation>удаление файлов</translation>
    </message>
    <message>
        <source>Move Files</source>
        <translation>перемещение файлов</translation>
    </message>
    <message>
        <source>Table of Contents</source>
        <translation>оглавление</translation>
    </message>
    <message>
        <source>File Settings</source>
        <translation>настройки файла</translation>
    </message>
    <message>
        <source>Book Settings</source>
        <translation>изменение настроек книги</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>изменение описания</translation>
    </message>
    <message>
        <source>Cover Page</source>
        <translation>изменение обложки</translation>
    </message>
    <message>
        <source>The file is gone</source>
        <translation>Файла больше нет</translation>
    </message>
    <message>
        <source>The file is not a regular file</source>
        <translation>Это не обычный файл</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>&amp;Открыть…</translation>
    </message>
    <message>
        <source>Open a book project, or a Wolf book to read</source>
        <translation>Открыть проект книги или книгу Wolf для чтения</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>Файл не удаётся прочитать: %1</translation>
    </message>
</context>
<context>
    <name>bookloom::PreviewPane</name>
    <message>
        <source>Small letters</source>
        <translation>Мелкий шрифт</translation>
    </message>
    <message>
        <source>Large letters</source>
        <translation>Крупный шрифт</translation>
    </message>
    <message>
        <source>Small letters, landscape</source>
        <translation>Мелкий шрифт, альбомная</translation>
    </message>
    <message>
        <source>Large letters, landscape</source>
        <translation>Крупный шрифт, альбомная</translation>
    </message>
    <message>
        <source>Not a kind of file a book is made from</source>
        <translation>Из файлов такого типа книга не делается</translation>
    </message>
    <message>
        <source>No cover page</source>
        <translation>Без обложки</translation>
    </message>
    <message>
        <source>Preparing...</source>
        <translation>Подготовка…</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
</context>
<context>
    <name>bookloom::QtUserDialogs</name>
    <message>
        <source>Confirm</source>
        <translation>Подтверждение</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Save the changes of &quot;%1&quot; before closing it?</source>
        <translation>Сохранить изменения в &quot;%1&quot; перед закрытием?</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Предупреждения</translation>
    </message>
    <message numerus="yes">
        <source>%n warning(s): see the details.</source>
        <translation>
            <numerusform>%n предупреждение: подробности ниже.</numerusform>
            <numerusform>%n предупреждения: подробности ниже.</numerusform>
            <numerusform>%n предупреждений: подробности ниже.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open a Project or a Book</source>
        <translation>Открыть проект или книгу</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>bookloom: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.
Use bookloom-cli to make books without a window.
</source>
        <translation>bookloom: нет дисплея (не заданы ни DISPLAY, ни WAYLAND_DISPLAY), поэтому окно не откроется.
Книги без окна делает bookloom-cli.
</translation>
    </message>
</context>
</TS>
