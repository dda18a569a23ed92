<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>bookloom::AboutDialog</name>
    <message>
        <source> About</source>
        <translation> О программе</translation>
    </message>
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
        <source>    Build: %1</source>
        <translation>    Сборка: %1</translation>
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
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>bookloom::CoverPagePanel</name>
    <message>
        <source>Load Picture</source>
        <translation>Загрузить картинку</translation>
    </message>
    <message>
        <source> Cover Settings </source>
        <translation> Настройки обложки </translation>
    </message>
    <message>
        <source>Cover page:</source>
        <translation>Обложка:</translation>
    </message>
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
        <source>Enlarge cover page</source>
        <translation>Увеличить обложку</translation>
    </message>
    <message>
        <source> Cover Margins </source>
        <translation> Поля обложки </translation>
    </message>
    <message>
        <source>Left:</source>
        <translation>Слева:</translation>
    </message>
    <message>
        <source>Right:</source>
        <translation>Справа:</translation>
    </message>
    <message>
        <source>Top:</source>
        <translation>Сверху:</translation>
    </message>
    <message>
        <source>Bottom:</source>
        <translation>Снизу:</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Обновить</translation>
    </message>
    <message>
        <source>Select image for cover</source>
        <translation>Выберите картинку для обложки</translation>
    </message>
    <message>
        <source>All supported files (*.bmp)|*.bmp</source>
        <translation>Все поддерживаемые файлы (*.bmp)|*.bmp</translation>
    </message>
</context>
<context>
    <name>bookloom::DescriptionDialog</name>
    <message>
        <source>Title:</source>
        <translation>Название:</translation>
    </message>
    <message>
        <source>Author:</source>
        <translation>Автор:</translation>
    </message>
    <message>
        <source>Subject (genre):</source>
        <translation>Тема (жанр):</translation>
    </message>
    <message>
        <source>Adapter:</source>
        <translation>Адаптация:</translation>
    </message>
    <message>
        <source>Translator:</source>
        <translation>Переводчик:</translation>
    </message>
    <message>
        <source>Publisher:</source>
        <translation>Издательство:</translation>
    </message>
    <message>
        <source>Publish Time:</source>
        <translation>Год издания:</translation>
    </message>
    <message>
        <source>ISBN:</source>
        <translation>ISBN:</translation>
    </message>
    <message>
        <source>Annotation:</source>
        <translation>Аннотация:</translation>
    </message>
    <message>
        <source>Book Description</source>
        <translation>Описание книги</translation>
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
        <source>You are entered a symbol (%1), which<byte value="xd"/>
cannot be represented in Windows-1251 code page!</source>
        <translation>Вы ввели символ (%1), который<byte value="xd"/>
нельзя представить в кодовой странице Windows-1251!</translation>
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
    <name>bookloom::MainWindow</name>
    <message>
        <source>New</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Start a new book</source>
        <translation>Начать новую книгу</translation>
    </message>
    <message>
        <source>Open Project...</source>
        <translation>Открыть проект…</translation>
    </message>
    <message>
        <source>Open a book project</source>
        <translation>Открыть проект книги</translation>
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
        <source>Save Project As...</source>
        <translation>Сохранить проект как…</translation>
    </message>
    <message>
        <source>Save the book project under a new name</source>
        <translation>Сохранить проект книги под другим именем</translation>
    </message>
    <message>
        <source>Add File</source>
        <translation>Добавить файл</translation>
    </message>
    <message>
        <source>Add file(s) to list</source>
        <translation>Добавить файлы в список</translation>
    </message>
    <message>
        <source>Remove File</source>
        <translation>Удалить файл</translation>
    </message>
    <message>
        <source>Remove file(s) from list</source>
        <translation>Удалить файлы из списка</translation>
    </message>
    <message>
        <source>Move File Up</source>
        <translation>Переместить вверх</translation>
    </message>
    <message>
        <source>Move file up</source>
        <translation>Переместить файл вверх</translation>
    </message>
    <message>
        <source>Move File Down</source>
        <translation>Переместить вниз</translation>
    </message>
    <message>
        <source>Move file down</source>
        <translation>Переместить файл вниз</translation>
    </message>
    <message>
        <source>File Settings</source>
        <translation>Настройки файла</translation>
    </message>
    <message>
        <source>Set individual settings for file</source>
        <translation>Задать отдельные настройки файла</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Очистить всё</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Table of contents</source>
        <translation>Оглавление</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Описание</translation>
    </message>
    <message>
        <source>Cover Page</source>
        <translation>Обложка</translation>
    </message>
    <message>
        <source>Make Wolf</source>
        <translation>Создать книгу Wolf</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>Open Recent</source>
        <translation>Недавние проекты</translation>
    </message>
    <message>
        <source>Wolf</source>
        <translation>Книга</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
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
        <source>Clear all sets and start new Wolf?</source>
        <translation>Очистить всё и начать новую книгу Wolf?</translation>
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
        <source>Some files of the project cannot be used and were left out</source>
        <translation>Некоторые файлы проекта недоступны и не вошли в книгу</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Без имени</translation>
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
        <source>Open Project</source>
        <translation>Открыть проект</translation>
    </message>
    <message>
        <source>Save the changes of &quot;%1&quot; before closing it?</source>
        <translation>Сохранить изменения в «%1» перед закрытием?</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Предупреждения</translation>
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
