<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="de_DE">
<context>
    <name>BookAdding</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Die Datei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Add a book</source>
        <translation>Ein Buch hinzufügen</translation>
    </message>
    <message>
        <source>Add “%1” to the library?</source>
        <translation>„%1“ der Bibliothek hinzufügen?</translation>
    </message>
</context>
<context>
    <name>BookDrops</name>
    <message>
        <source>Web Browser</source>
        <translation>Webbrowser</translation>
    </message>
</context>
<context>
    <name>BookProperties</name>
    <message>
        <source>Book Information</source>
        <translation>Buchinformationen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Add File</source>
        <translation>Datei hinzufügen</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Rating: </source>
        <translation>Bewertung: </translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>..</source>
        <translation>..</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titel:</translation>
    </message>
    <message>
        <source>Enter title and click search to fill form...</source>
        <translation>Titel eingeben und auf Suchen klicken, um das Formular zu füllen...</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Use the title to search and download information about this book from the web.</source>
        <translation>Mit dem Titel Informationen zu diesem Buch im Netz suchen und herunterladen.</translation>
    </message>
    <message>
        <source>&amp;ISBN:</source>
        <translation>&amp;ISBN:</translation>
    </message>
    <message>
        <source>ISBN-10</source>
        <translation>ISBN-10</translation>
    </message>
    <message>
        <source>ISBN-13</source>
        <translation>ISBN-13</translation>
    </message>
    <message>
        <source>Search and download information about this book from the web using the ISBN codes.</source>
        <translation>Mit den ISBN-Nummern Informationen zu diesem Buch im Netz suchen und herunterladen.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>&amp;Publisher:</source>
        <translation>&amp;Verlag:</translation>
    </message>
    <message>
        <source>Published:</source>
        <translation>Erschienen:</translation>
    </message>
    <message>
        <source>&amp;Authors:</source>
        <translation>&amp;Autoren:</translation>
    </message>
    <message>
        <source>&amp;Pages:</source>
        <translation>&amp;Seiten:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Book Cover</source>
        <translation>Buchcover</translation>
    </message>
    <message>
        <source>Own physical book?</source>
        <translation>Eigenes gedrucktes Buch?</translation>
    </message>
    <message>
        <source>Enter physical location...</source>
        <translation>Standort eingeben...</translation>
    </message>
    <message>
        <source>&amp;Read it?</source>
        <translation>&amp;Gelesen?</translation>
    </message>
    <message>
        <source>yyyy-MM-dd</source>
        <translation>yyyy-MM-dd</translation>
    </message>
    <message>
        <source>&amp;Want it?</source>
        <translation>&amp;Gewünscht?</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>MD5</source>
        <translation>MD5</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete this book from the library.</source>
        <translation>Dieses Buch aus der Bibliothek löschen.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>The library is read-only.</source>
        <translation>Die Bibliothek ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>Nothing found</source>
        <translation>Nichts gefunden</translation>
    </message>
    <message>
        <source>The book's information could not be downloaded.

%1</source>
        <translation>Die Informationen zum Buch konnten nicht heruntergeladen werden.

%1</translation>
    </message>
    <message>
        <source>Select Book</source>
        <translation>Buch auswählen</translation>
    </message>
    <message>
        <source>Book Files (*.txt *.epub *.mobi *.pdf *.chm)</source>
        <translation>Buchdateien (*.txt *.epub *.mobi *.pdf *.chm)</translation>
    </message>
    <message>
        <source>Book Files (*.pdf *.chm *.epub *.mobi)</source>
        <translation>Buchdateien (*.pdf *.chm *.epub *.mobi)</translation>
    </message>
    <message>
        <source>No books were found.
Please try altering the title.</source>
        <translation>Es wurden keine Bücher gefunden.
Bitte ändern Sie den Titel.</translation>
    </message>
    <message>
        <source>No books were found.
Please enter alter the ISBN or try searching by title.</source>
        <translation>Es wurden keine Bücher gefunden.
Bitte ändern Sie die ISBN oder suchen Sie nach dem Titel.</translation>
    </message>
    <message>
        <source>Image Files (*.jpg *.png *.gif)</source>
        <translation>Bilddateien (*.jpg *.png *.gif)</translation>
    </message>
    <message>
        <source>%1 is not an image that can be read.</source>
        <translation>%1 ist kein lesbares Bild.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>You must enter a book title.</source>
        <translation>Sie müssen einen Buchtitel eingeben.</translation>
    </message>
    <message>
        <source>The book could not be saved in the library. Nothing was changed.</source>
        <translation>Das Buch konnte nicht in der Bibliothek gespeichert werden. Es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>Ta&amp;gs:</source>
        <translation>Schlag&amp;wörter:</translation>
    </message>
    <message>
        <source>Separated by commas, for example: fantasy, classics</source>
        <translation>Durch Kommas getrennt, zum Beispiel: Fantasy, Klassiker</translation>
    </message>
    <message>
        <source>Se&amp;ries:</source>
        <translation>&amp;Reihe:</translation>
    </message>
    <message>
        <source>Name of the series</source>
        <translation>Name der Reihe</translation>
    </message>
    <message>
        <source>&amp;Number:</source>
        <translation>&amp;Nummer:</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Already in the library</source>
        <translation>Bereits in der Bibliothek</translation>
    </message>
    <message>
        <source>The library already holds this file's content, in “%1”.

Add it as another book all the same?</source>
        <translation>Die Bibliothek enthält den Inhalt dieser Datei bereits, in „%1“.

Trotzdem als weiteres Buch hinzufügen?</translation>
    </message>
    <message>
        <source>Add Anyway</source>
        <translation>Trotzdem hinzufügen</translation>
    </message>
</context>
<context>
    <name>BookSelection</name>
    <message>
        <source>Multiple Books Found</source>
        <translation>Mehrere Bücher gefunden</translation>
    </message>
    <message>
        <source>Keywords</source>
        <translation>Stichwörter</translation>
    </message>
    <message>
        <source>ISBN</source>
        <translation>ISBN</translation>
    </message>
    <message>
        <source>Search Online</source>
        <translation>Online suchen</translation>
    </message>
    <message>
        <source>Search Existing</source>
        <translation>Vorhandene durchsuchen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Authors</source>
        <translation>Autoren</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Skip &amp;All</source>
        <translation>&amp;Alle überspringen</translation>
    </message>
    <message>
        <source>S&amp;kip</source>
        <translation>Ü&amp;berspringen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No books were found.
Please try changing information entered.</source>
        <translation>Es wurden keine Bücher gefunden.
Bitte ändern Sie die Angaben.</translation>
    </message>
    <message>
        <source>Not found online</source>
        <translation>Online nicht gefunden</translation>
    </message>
    <message>
        <source>The reply was not a Google Books answer.</source>
        <translation>Die Antwort war keine Antwort von Google Books.</translation>
    </message>
</context>
<context>
    <name>ConfigApps</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;a href="https://calibre-ebook.com/download"&gt;Calibre&lt;/a&gt; is a free e-book application. It provides functionality like eBook conversion; without it some functionality will not work.&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;a href="https://calibre-ebook.com/download"&gt;Calibre&lt;/a&gt; ist ein freies E-Book-Programm. Es bietet unter anderem die Umwandlung von E-Books; ohne Calibre stehen einige Funktionen nicht zur Verfügung.&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&amp;Calibre Location:</source>
        <translation>&amp;Calibre-Ordner:</translation>
    </message>
    <message>
        <source>Path to your Calibre installation...</source>
        <translation>Pfad zu Ihrer Calibre-Installation...</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;a href="https://sigil-ebook.com/sigil/download/"&gt;Sigil&lt;/a&gt; is a free eBook editor for ePub eBooks. It will allow you to edit your eBooks.&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;a href="https://sigil-ebook.com/sigil/download/"&gt;Sigil&lt;/a&gt; ist ein freier Editor für EPUB-Bücher. Damit können Sie Ihre E-Books bearbeiten.&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Sigil Location:</source>
        <translation>Sigil-Ordner:</translation>
    </message>
    <message>
        <source>Path to your Sigil installation...</source>
        <translation>Pfad zu Ihrer Sigil-Installation...</translation>
    </message>
    <message>
        <source>Select Calibre's program directory...</source>
        <translation>Programmordner von Calibre auswählen...</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Sorry, Calibre was not found at this location, click Browse and try again...</source>
        <translation>Calibre wurde an diesem Ort leider nicht gefunden. Klicken Sie auf Durchsuchen und versuchen Sie es erneut...</translation>
    </message>
    <message>
        <source>Select Sigil's program directory...</source>
        <translation>Programmordner von Sigil auswählen...</translation>
    </message>
    <message>
        <source>Sorry, Sigil was not found at this location, click Browse and try again...</source>
        <translation>Sigil wurde an diesem Ort leider nicht gefunden. Klicken Sie auf Durchsuchen und versuchen Sie es erneut...</translation>
    </message>
</context>
<context>
    <name>ConversionWizard</name>
    <message>
        <source>Conversion Wizard</source>
        <translation>Umwandlungsassistent</translation>
    </message>
    <message>
        <source>Book Conversion</source>
        <translation>Buchumwandlung</translation>
    </message>
    <message>
        <source>Automated conversion from one format into another.</source>
        <translation>Automatische Umwandlung von einem Format in ein anderes.</translation>
    </message>
    <message>
        <source>Input Format</source>
        <translation>Eingabeformat</translation>
    </message>
    <message>
        <source>Output Format</source>
        <translation>Ausgabeformat</translation>
    </message>
    <message>
        <source>PDF</source>
        <translation>PDF</translation>
    </message>
    <message>
        <source>EPub</source>
        <translation>EPUB</translation>
    </message>
    <message>
        <source>Conversion Successful</source>
        <translation>Umwandlung erfolgreich</translation>
    </message>
    <message>
        <source>File was successfully converted to the target format.</source>
        <translation>Die Datei wurde erfolgreich in das Zielformat umgewandelt.</translation>
    </message>
    <message>
        <source>Choose one book with a PDF file to convert.</source>
        <translation>Wählen Sie ein Buch mit einer PDF-Datei zum Umwandeln.</translation>
    </message>
    <message>
        <source>The book's file %1 is not a PDF file.</source>
        <translation>Die Datei %1 des Buchs ist keine PDF-Datei.</translation>
    </message>
    <message>
        <source>The EPUB file's name would be longer than the file system allows. Give %1 a shorter name, then convert it.</source>
        <translation>Der Name der EPUB-Datei wäre länger, als das Dateisystem erlaubt. Geben Sie %1 einen kürzeren Namen und wandeln Sie sie dann um.</translation>
    </message>
    <message>
        <source>%1 is already there and stays as it is; the new EPUB will be %2.</source>
        <translation>%1 ist bereits vorhanden und bleibt unverändert; das neue EPUB wird %2.</translation>
    </message>
    <message>
        <source>Calibre's ebook-convert was not found. Set Calibre's location in the preferences.</source>
        <translation>ebook-convert von Calibre wurde nicht gefunden. Geben Sie den Ort von Calibre in den Einstellungen an.</translation>
    </message>
    <message>
        <source>The converter %1 could not be started: %2</source>
        <translation>Das Umwandlungsprogramm %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>The converter ended with exit status %1.%2</source>
        <translation>Das Umwandlungsprogramm endete mit dem Status %1.%2</translation>
    </message>
    <message>
        <source>The EPUB %1 was made, but it could not be added to the book in the library.</source>
        <translation>Das EPUB %1 wurde erstellt, konnte aber nicht zum Buch in der Bibliothek hinzugefügt werden.</translation>
    </message>
    <message>
        <source>Conversion Failed</source>
        <translation>Umwandlung fehlgeschlagen</translation>
    </message>
</context>
<context>
    <name>CoverMaker</name>
    <message>
        <source>Making covers from the books' files...</source>
        <translation>Cover werden aus den Dateien der Bücher erstellt...</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Make Missing Covers</source>
        <translation>Fehlende Cover erstellen</translation>
    </message>
</context>
<context>
    <name>DataDownloader</name>
    <message>
        <source>The address of the book's information is not a web address.</source>
        <translation>Die Adresse der Buchinformationen ist keine Webadresse.</translation>
    </message>
    <message>
        <source>The reply was not a Google Books volume.</source>
        <translation>Die Antwort war kein Google-Books-Band.</translation>
    </message>
</context>
<context>
    <name>FileSyncManager</name>
    <message>
        <source>File Sync Manager</source>
        <translation>Dateiabgleich</translation>
    </message>
    <message>
        <source>Data Downloads</source>
        <translation>Heruntergeladene Daten</translation>
    </message>
    <message>
        <source>Data Uploads</source>
        <translation>Hochgeladene Daten</translation>
    </message>
    <message>
        <source>File Downloads</source>
        <translation>Heruntergeladene Dateien</translation>
    </message>
    <message>
        <source>Item 1</source>
        <translation>Eintrag 1</translation>
    </message>
    <message>
        <source>Item 2</source>
        <translation>Eintrag 2</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>0 kb/s</source>
        <translation>0 kb/s</translation>
    </message>
    <message>
        <source>File Uploads</source>
        <translation>Hochgeladene Dateien</translation>
    </message>
    <message>
        <source>0 kB/s</source>
        <translation>0 kB/s</translation>
    </message>
    <message>
        <source>Records sent: %1 (every record goes each time), files already there: %2, files uploaded: %3, files failed: %4</source>
        <translation>Gesendete Einträge: %1 (jedes Mal alle), bereits vorhandene Dateien: %2, hochgeladene Dateien: %3, fehlgeschlagene Dateien: %4</translation>
    </message>
    <message>
        <source> (stopped early)</source>
        <translation> (vorzeitig beendet)</translation>
    </message>
    <message>
        <source>The service no longer accepts your login; please log in again.</source>
        <translation>Der Dienst nimmt Ihre Anmeldung nicht mehr an; bitte melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>Record uploaded</source>
        <translation>Eintrag hochgeladen</translation>
    </message>
    <message>
        <source>Record not uploaded: %1</source>
        <translation>Eintrag nicht hochgeladen: %1</translation>
    </message>
    <message>
        <source>not uploaded: %1</source>
        <translation>nicht hochgeladen: %1</translation>
    </message>
    <message>
        <source>The service did not answer as expected; the upload stopped. %1</source>
        <translation>Der Dienst hat nicht wie erwartet geantwortet; das Hochladen wurde beendet. %1</translation>
    </message>
    <message>
        <source>already there</source>
        <translation>bereits vorhanden</translation>
    </message>
    <message>
        <source>already there (same content as another file)</source>
        <translation>bereits vorhanden (gleicher Inhalt wie eine andere Datei)</translation>
    </message>
    <message>
        <source>skipped, the file is missing</source>
        <translation>übersprungen, die Datei fehlt</translation>
    </message>
    <message>
        <source>uploaded</source>
        <translation>hochgeladen</translation>
    </message>
    <message>
        <source>failed: %1</source>
        <translation>fehlgeschlagen: %1</translation>
    </message>
</context>
<context>
    <name>IndexingStatus</name>
    <message>
        <source>Indexing books paused: %1 of %2</source>
        <translation>Bücher indizieren angehalten: %1 von %2</translation>
    </message>
    <message>
        <source>Indexing books: %1 of %2</source>
        <translation>Bücher werden indiziert: %1 von %2</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
</context>
<context>
    <name>InformationPanel</name>
    <message>
        <source>%1 Pages</source>
        <translation>%1 Seiten</translation>
    </message>
    <message>
        <source>No text to search inside: its pages are pictures only (a scan?).</source>
        <translation>Kein Text zum Durchsuchen: Die Seiten sind nur Bilder (ein Scan?).</translation>
    </message>
    <message>
        <source>Not searchable inside: %1.</source>
        <translation>Nicht im Inhalt durchsuchbar: %1.</translation>
    </message>
    <message>
        <source>Found inside</source>
        <translation>Im Inhalt gefunden</translation>
    </message>
    <message>
        <source>Page %1</source>
        <translation>Seite %1</translation>
    </message>
    <message>
        <source>Chapter %1</source>
        <translation>Kapitel %1</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
</context>
<context>
    <name>ItemFile</name>
    <message>
        <source>The file %1 cannot be read.</source>
        <translation>Die Datei %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The file %1 is empty.</source>
        <translation>Die Datei %1 ist leer.</translation>
    </message>
    <message>
        <source>The file %1 is named as a PDF but is not one.</source>
        <translation>Die Datei %1 heißt wie eine PDF-Datei, ist aber keine.</translation>
    </message>
</context>
<context>
    <name>ItemTabs</name>
    <message>
        <source>Books</source>
        <translation>Bücher</translation>
    </message>
</context>
<context>
    <name>ItemViews</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Author(s)</source>
        <translation>Autor(en)</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Size (MB)</source>
        <translation>Größe (MB)</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Bewertung</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>Series</source>
        <translation>Reihe</translation>
    </message>
    <message>
        <source>Publisher</source>
        <translation>Verlag</translation>
    </message>
    <message>
        <source>Published</source>
        <translation>Erschienen</translation>
    </message>
    <message>
        <source>Url</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Created</source>
        <translation>Erstellt</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Die Datei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Open PDF</source>
        <translation>PDF öffnen</translation>
    </message>
    <message>
        <source>Open URL (External)</source>
        <translation>URL öffnen (extern)</translation>
    </message>
    <message>
        <source>"%1" could not be deleted from the library and is still there.</source>
        <translation>„%1“ konnte nicht aus der Bibliothek gelöscht werden und ist noch vorhanden.</translation>
    </message>
    <message>
        <source>These items could not be deleted from the library and are still there:

%1</source>
        <translation>Diese Einträge konnten nicht aus der Bibliothek gelöscht werden und sind noch vorhanden:

%1</translation>
    </message>
    <message>
        <source>The rating of "%1" could not be saved in the library.</source>
        <translation>Die Bewertung von „%1“ konnte nicht in der Bibliothek gespeichert werden.</translation>
    </message>
    <message>
        <source>Open with System Viewer</source>
        <translation>Mit dem Systemprogramm öffnen</translation>
    </message>
</context>
<context>
    <name>LibraryServer</name>
    <message>
        <source>Port %1 cannot be used: %2</source>
        <translation>Port %1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>Lirenta Library</source>
        <translation>Lirenta-Bibliothek</translation>
    </message>
    <message>
        <source>Recently Added</source>
        <translation>Zuletzt hinzugefügt</translation>
    </message>
    <message>
        <source>The newest books</source>
        <translation>Die neuesten Bücher</translation>
    </message>
    <message>
        <source>Authors</source>
        <translation>Autoren</translation>
    </message>
    <message>
        <source>Books by author</source>
        <translation>Bücher nach Autor</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>Books by tag</source>
        <translation>Bücher nach Schlagwort</translation>
    </message>
    <message>
        <source>Series</source>
        <translation>Reihen</translation>
    </message>
    <message>
        <source>Books by series</source>
        <translation>Bücher nach Reihe</translation>
    </message>
    <message>
        <source>All Books</source>
        <translation>Alle Bücher</translation>
    </message>
    <message>
        <source>Every book by title</source>
        <translation>Alle Bücher nach Titel</translation>
    </message>
    <message>
        <source>Search: %1</source>
        <translation>Suche: %1</translation>
    </message>
    <message>
        <source>Author</source>
        <translation>Autor</translation>
    </message>
    <message>
        <source>1 book</source>
        <translation>1 Buch</translation>
    </message>
    <message>
        <source>%1 books</source>
        <translation>%1 Bücher</translation>
    </message>
</context>
<context>
    <name>LibraryStartup</name>
    <message>
        <source>1 book</source>
        <translation>1 Buch</translation>
    </message>
    <message>
        <source>%1 books</source>
        <translation>%1 Bücher</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>1 web page</source>
        <translation>1 Webseite</translation>
    </message>
    <message>
        <source>%1 web pages</source>
        <translation>%1 Webseiten</translation>
    </message>
    <message>
        <source>Library database</source>
        <translation>Bibliotheksdatenbank</translation>
    </message>
    <message>
        <source>The library %1 can be read but not changed (it or its folder is read-only).

You can browse and read your books, but nothing you change can be saved.</source>
        <translation>Die Bibliothek %1 kann gelesen, aber nicht geändert werden (sie oder ihr Ordner ist schreibgeschützt).

Sie können Ihre Bücher durchsehen und lesen, aber Änderungen können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>

Adding and importing books, deleting, rating, converting, capturing web pages and writing notes are switched off.</source>
        <translation>

Bücher hinzufügen und importieren, löschen, bewerten, umwandeln, Webseiten speichern und Notizen schreiben sind abgeschaltet.</translation>
    </message>
    <message>
        <source>The library database %1 could not be opened.

%2

Lirenta will close.</source>
        <translation>Die Bibliotheksdatenbank %1 konnte nicht geöffnet werden.

%2

Lirenta wird beendet.</translation>
    </message>
    <message>
        <source>The library database %1 could not be read: the disk did not give its contents (%2).

Nothing was changed. Check the disk or drive it is on, then start Lirenta again.</source>
        <translation>Die Bibliotheksdatenbank %1 konnte nicht gelesen werden: Der Datenträger hat ihren Inhalt nicht geliefert (%2).

Es wurde nichts verändert. Prüfen Sie den Datenträger oder das Laufwerk und starten Sie Lirenta dann erneut.</translation>
    </message>
    <message>
        <source>The library database %1 is in use by another program and cannot be read now (%2).

Nothing was changed. Close the other program, or wait a moment, and start Lirenta again.</source>
        <translation>Die Bibliotheksdatenbank %1 wird von einem anderen Programm verwendet und kann gerade nicht gelesen werden (%2).

Es wurde nichts geändert. Schließen Sie das andere Programm oder warten Sie einen Moment und starten Sie Lirenta erneut.</translation>
    </message>
    <message>
        <source>The library database %1 could not be created.

%2

Lirenta will close.</source>
        <translation>Die Bibliotheksdatenbank %1 konnte nicht angelegt werden.

%2

Lirenta wird beendet.</translation>
    </message>
    <message>
        <source>The library file is damaged or is not a Lirenta library. It was moved aside and kept as %1; nothing in it was changed.</source>
        <translation>Die Bibliotheksdatei ist beschädigt oder keine Lirenta-Bibliothek. Sie wurde beiseitegelegt und als %1 aufbewahrt; darin wurde nichts verändert.</translation>
    </message>
    <message>
        <source>SQLite's report on %1:
%2</source>
        <translation>Bericht von SQLite zu %1:
%2</translation>
    </message>
    <message>
        <source>Restore the backup taken on %1? It holds %2.</source>
        <translation>Die Sicherung vom %1 wiederherstellen? Sie enthält %2.</translation>
    </message>
    <message>
        <source>Taken on %1, with %2</source>
        <translation>Angelegt am %1, mit %2</translation>
    </message>
    <message>
        <source> (another library)</source>
        <translation> (eine andere Bibliothek)</translation>
    </message>
    <message>
        <source>

Choose a backup to restore, or Cancel:</source>
        <translation>

Wählen Sie eine Sicherung zum Wiederherstellen, oder Abbrechen:</translation>
    </message>
    <message>
        <source>Restored the backup taken on %1, holding %2.</source>
        <translation>Die Sicherung vom %1 mit %2 wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Start with a new, empty library? Choose No to quit.</source>
        <translation>Mit einer neuen, leeren Bibliothek beginnen? Wählen Sie Nein, um zu beenden.</translation>
    </message>
</context>
<context>
    <name>LibraryTree</name>
    <message>
        <source>Tags</source>
        <translation>Schlagwörter</translation>
    </message>
    <message>
        <source>Series</source>
        <translation>Reihe</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>Login</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;p&gt;&lt;b&gt;Unlimited cloud services for a small monthly fee.&lt;/b&gt;&lt;/p&gt;&lt;p&gt;The cloud service gives you unlimited access to, sync and backup of your books, files and data, from any desktop, mobile device or web browser.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body style="font-family:'Ubuntu'; font-size:11pt;"&gt;&lt;p&gt;&lt;b&gt;Unbegrenzte Cloud-Dienste für eine kleine monatliche Gebühr.&lt;/b&gt;&lt;/p&gt;&lt;p&gt;Der Cloud-Dienst gibt Ihnen unbegrenzten Zugriff auf Ihre Bücher, Dateien und Daten, gleicht sie ab und sichert sie, von jedem Rechner, Mobilgerät oder Webbrowser aus.&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Login:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Subscribe</source>
        <translation>&amp;Abonnieren</translation>
    </message>
    <message>
        <source>&amp;Login</source>
        <translation>&amp;Anmelden</translation>
    </message>
    <message>
        <source>The token has been reset, please attempt to login again.</source>
        <translation>Der Zugangsschlüssel wurde zurückgesetzt, bitte melden Sie sich erneut an.</translation>
    </message>
    <message>
        <source>Login was not accepted.</source>
        <translation>Die Anmeldung wurde nicht angenommen.</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>Single Book</source>
        <translation>Einzelnes Buch</translation>
    </message>
    <message>
        <source>Books from a Folder</source>
        <translation>Bücher aus einem Ordner</translation>
    </message>
    <message>
        <source>Books from a Folder and Its Subfolders</source>
        <translation>Bücher aus einem Ordner und seinen Unterordnern</translation>
    </message>
    <message>
        <source>Make Missing Covers</source>
        <translation>Fehlende Cover erstellen</translation>
    </message>
    <message>
        <source>The library is read-only.</source>
        <translation>Die Bibliothek ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Icon View</source>
        <translation>Symbolansicht</translation>
    </message>
    <message>
        <source>Detailed View</source>
        <translation>Detailansicht</translation>
    </message>
    <message>
        <source>Search Scope</source>
        <translation>Suchbereich</translation>
    </message>
    <message>
        <source>Titles and Descriptions</source>
        <translation>Titel und Beschreibungen</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>Alles</translation>
    </message>
    <message>
        <source>Close Tab</source>
        <translation>Tab schließen</translation>
    </message>
    <message>
        <source>Next Tab</source>
        <translation>Nächster Tab</translation>
    </message>
    <message>
        <source>Previous Tab</source>
        <translation>Vorheriger Tab</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Open the selected item's properties: %1</source>
        <translation>Eigenschaften des gewählten Eintrags öffnen: %1</translation>
    </message>
    <message>
        <source>Bold, in the notes: %1</source>
        <translation>Fett, in den Notizen: %1</translation>
    </message>
    <message>
        <source>Italic, in the notes: %1</source>
        <translation>Kursiv, in den Notizen: %1</translation>
    </message>
    <message>
        <source>Underline, in the notes: %1</source>
        <translation>Unterstrichen, in den Notizen: %1</translation>
    </message>
    <message>
        <source>Clear the search, in the search field: %1</source>
        <translation>Suche leeren, im Suchfeld: %1</translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation>Keine zuletzt geöffneten Dateien</translation>
    </message>
    <message>
        <source>Clear List</source>
        <translation>Liste leeren</translation>
    </message>
    <message>
        <source>Inside Books</source>
        <translation>Im Inhalt der Bücher</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Lirenta</source>
        <translation>Lirenta</translation>
    </message>
    <message>
        <source>Filter...</source>
        <translation>Filtern...</translation>
    </message>
    <message>
        <source>Libraries</source>
        <translation>Bibliotheken</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Haupt</translation>
    </message>
    <message>
        <source>Books</source>
        <translation>Bücher</translation>
    </message>
    <message>
        <source>Authors</source>
        <translation>Autoren</translation>
    </message>
    <message>
        <source>Web Pages</source>
        <translation>Webseiten</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Informationen</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>&amp;Library</source>
        <translation>&amp;Bibliothek</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Main Toolbar</source>
        <translation>Hauptwerkzeugleiste</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Single Book</source>
        <translation>Einzelnes Buch</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>Cloud</source>
        <translation>Cloud</translation>
    </message>
    <message>
        <source>Notices</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Abgleichen</translation>
    </message>
    <message>
        <source>Icon</source>
        <translation>Symbole</translation>
    </message>
    <message>
        <source>Icon View</source>
        <translation>Symbolansicht</translation>
    </message>
    <message>
        <source>List</source>
        <translation>Liste</translation>
    </message>
    <message>
        <source>Detailed View</source>
        <translation>Detailansicht</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Umwandeln</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Danksagungen</translation>
    </message>
    <message>
        <source>Multiple Books (Dir)</source>
        <translation>Mehrere Bücher (Ordner)</translation>
    </message>
    <message>
        <source>Multiple Books from Files</source>
        <translation>Mehrere Bücher aus Dateien</translation>
    </message>
    <message>
        <source>Multiple Books (Dir+Sub-dirs)</source>
        <translation>Mehrere Bücher (Ordner und Unterordner)</translation>
    </message>
    <message>
        <source>Recent Files</source>
        <translation>Zuletzt geöffnete Dateien</translation>
    </message>
    <message>
        <source>Multiple Books (Directory)</source>
        <translation>Mehrere Bücher (Ordner)</translation>
    </message>
    <message>
        <source>Multiple Books (Directory + Sub dir)</source>
        <translation>Mehrere Bücher (Ordner und Unterordner)</translation>
    </message>
    <message>
        <source> (read-only)</source>
        <translation> (schreibgeschützt)</translation>
    </message>
    <message>
        <source>No books left by %1: the tab was closed.</source>
        <translation>Keine Bücher von %1 mehr: der Tab wurde geschlossen.</translation>
    </message>
    <message>
        <source>Lirenta is already open on this library.</source>
        <translation>Lirenta ist für diese Bibliothek bereits geöffnet.</translation>
    </message>
    <message>
        <source>Captured "%1" to %2</source>
        <translation>„%1“ wurde als %2 gespeichert</translation>
    </message>
    <message>
        <source>Browser</source>
        <translation>Browser</translation>
    </message>
    <message>
        <source>Covers made from the books' files: %1</source>
        <translation>Aus den Dateien der Bücher erstellte Cover: %1</translation>
    </message>
    <message>
        <source>Opened %1</source>
        <translation>Geöffnet: %1</translation>
    </message>
</context>
<context>
    <name>MultiSelect</name>
    <message>
        <source>Add multiple books</source>
        <translation>Mehrere Bücher hinzufügen</translation>
    </message>
    <message>
        <source>The following files were found in the directory you selected. You may add them individually by clicking the download icon on the left hand side.</source>
        <translation>Die folgenden Dateien wurden im gewählten Ordner gefunden. Sie können sie einzeln hinzufügen, indem Sie links auf das Download-Symbol klicken.</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>ISBN</source>
        <translation>ISBN</translation>
    </message>
    <message>
        <source>Authors</source>
        <translation>Autoren</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Seiten</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Keywords:   </source>
        <translation>Stichwörter:   </translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Alle ersetzen</translation>
    </message>
    <message>
        <source>Search Selected</source>
        <translation>Ausgewählte suchen</translation>
    </message>
    <message>
        <source>Add all checked items by searching.</source>
        <translation>Alle markierten Einträge per Suche hinzufügen.</translation>
    </message>
    <message>
        <source>Import Without Look-up</source>
        <translation>Ohne Nachschlagen importieren</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>Ordner auswählen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Also at: %1</source>
        <translation>Auch unter: %1</translation>
    </message>
    <message>
        <source>Already in the library, left out: %1 (&lt;a href="stored"&gt;show&lt;/a&gt;).</source>
        <translation>Bereits in der Bibliothek, ausgelassen: %1 (&lt;a href="stored"&gt;anzeigen&lt;/a&gt;).</translation>
    </message>
    <message>
        <source>Identical copies of listed files, noted in their rows: %1.</source>
        <translation>Identische Kopien aufgelisteter Dateien, in ihren Zeilen vermerkt: %1.</translation>
    </message>
    <message>
        <source>Already in the library</source>
        <translation>Bereits in der Bibliothek</translation>
    </message>
    <message>
        <source>These files are in the library already (the same file or one with the same content):

%1</source>
        <translation>Diese Dateien sind bereits in der Bibliothek (dieselbe Datei oder eine mit gleichem Inhalt):

%1</translation>
    </message>
    <message>
        <source>Not found online</source>
        <translation>Online nicht gefunden</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>Wird heruntergeladen...</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Failed: the book could not be saved in the library.</source>
        <translation>Fehlgeschlagen: das Buch konnte nicht in der Bibliothek gespeichert werden.</translation>
    </message>
    <message>
        <source>Imported</source>
        <translation>Importiert</translation>
    </message>
    <message>
        <source>Failed: the title is empty.</source>
        <translation>Fehlgeschlagen: der Titel ist leer.</translation>
    </message>
    <message>
        <source>Add all checked files as the files describe themselves; nothing is looked up.</source>
        <translation>Alle markierten Dateien so hinzufügen, wie sie sich selbst beschreiben; nichts wird nachgeschlagen.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Stop looking up; what was imported stays.</source>
        <translation>Nachschlagen beenden; was importiert wurde, bleibt.</translation>
    </message>
    <message>
        <source>Hide finished rows</source>
        <translation>Erledigte Zeilen ausblenden</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Looking for book files...</source>
        <translation>Suche nach Buchdateien …</translation>
    </message>
    <message>
        <source>Looking for book files...
%1 found</source>
        <translation>Suche nach Buchdateien …
%1 gefunden</translation>
    </message>
    <message>
        <source>Reading what the files say about themselves...
%1 of %2</source>
        <translation>Lese, was die Dateien über sich sagen …
%1 von %2</translation>
    </message>
    <message>
        <source>Not a book file</source>
        <translation>Keine Buchdatei</translation>
    </message>
    <message>
        <source>Not a PDF file</source>
        <translation>Keine PDF-Datei</translation>
    </message>
    <message>
        <source>The file says nothing about itself: %1</source>
        <translation>Die Datei sagt nichts über sich: %1</translation>
    </message>
    <message>
        <source>Files found: %1.</source>
        <translation>Gefundene Dateien: %1.</translation>
    </message>
    <message>
        <source>Listed: %1</source>
        <translation>Aufgelistet: %1</translation>
    </message>
    <message>
        <source> (%1 of them cannot be imported)</source>
        <translation> (%1 davon können nicht importiert werden)</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Beendet</translation>
    </message>
    <message>
        <source>Imported: %1.</source>
        <translation>Importiert: %1.</translation>
    </message>
    <message>
        <source>%1 of %2 looked up, %3 remaining; imported: %4</source>
        <translation>%1 von %2 nachgeschlagen, %3 übrig; importiert: %4</translation>
    </message>
</context>
<context>
    <name>NetworkReplies</name>
    <message>
        <source>The reply was larger than %1 MB and was not read.</source>
        <translation>Die Antwort war größer als %1 MB und wurde nicht gelesen.</translation>
    </message>
    <message>
        <source>The service refused the request because its quota is used up (HTTP 429). Try again later.</source>
        <translation>Der Dienst hat die Anfrage abgelehnt, weil das Kontingent aufgebraucht ist (HTTP 429). Versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <source>The server answered with an error (HTTP %1).</source>
        <translation>Der Server hat mit einem Fehler geantwortet (HTTP %1).</translation>
    </message>
    <message>
        <source>The server did not answer in time.</source>
        <translation>Der Server hat nicht rechtzeitig geantwortet.</translation>
    </message>
    <message>
        <source>The server could not be reached: the connection was refused.</source>
        <translation>Der Server war nicht erreichbar: die Verbindung wurde abgelehnt.</translation>
    </message>
    <message>
        <source>The server could not be reached: it closed the connection.</source>
        <translation>Der Server war nicht erreichbar: er hat die Verbindung geschlossen.</translation>
    </message>
    <message>
        <source>The server could not be reached: its name was not found.</source>
        <translation>Der Server war nicht erreichbar: sein Name wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>The server could not be reached (network error %1).</source>
        <translation>Der Server war nicht erreichbar (Netzwerkfehler %1).</translation>
    </message>
    <message>
        <source>The reply was larger than %1 kB and was not read.</source>
        <translation>Die Antwort war größer als %1 kB und wurde nicht gelesen.</translation>
    </message>
</context>
<context>
    <name>NoticesWindow</name>
    <message>
        <source>Notices</source>
        <translation>Hinweise</translation>
    </message>
    <message>
        <source>Update notices and the problems met in this session, newest last.</source>
        <translation>Hinweise zu Aktualisierungen und die Probleme dieser Sitzung, die neuesten zuletzt.</translation>
    </message>
    <message>
        <source>Nothing to report.</source>
        <translation>Nichts zu berichten.</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>PathsPage</name>
    <message>
        <source>Where Lirenta keeps your library</source>
        <translation>Wo Lirenta Ihre Bibliothek aufbewahrt</translation>
    </message>
    <message>
        <source>Library file:</source>
        <translation>Bibliotheksdatei:</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Data (covers, indexes):</source>
        <translation>Daten (Umschläge, Indizes):</translation>
    </message>
    <message>
        <source>Captured pages:</source>
        <translation>Erfasste Seiten:</translation>
    </message>
    <message>
        <source>Backups:</source>
        <translation>Sicherungen:</translation>
    </message>
    <message>
        <source>Books you add stay where they are; the library only remembers where.</source>
        <translation>Hinzugefügte Bücher bleiben, wo sie sind; die Bibliothek merkt sich nur, wo.</translation>
    </message>
</context>
<context>
    <name>PdfPageView</name>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
</context>
<context>
    <name>PdfReader</name>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Previous page (Page Up)</source>
        <translation>Vorige Seite (Bild auf)</translation>
    </message>
    <message>
        <source>Type a page number and press Enter</source>
        <translation>Seitenzahl eingeben und Eingabe drücken</translation>
    </message>
    <message>
        <source>Next page (Page Down)</source>
        <translation>Nächste Seite (Bild ab)</translation>
    </message>
    <message>
        <source>Zoom out (Ctrl+wheel)</source>
        <translation>Verkleinern (Strg+Mausrad)</translation>
    </message>
    <message>
        <source>Zoom in (Ctrl+wheel)</source>
        <translation>Vergrößern (Strg+Mausrad)</translation>
    </message>
    <message>
        <source>Fit width</source>
        <translation>Breite anpassen</translation>
    </message>
    <message>
        <source>Fit page</source>
        <translation>Seite anpassen</translation>
    </message>
    <message>
        <source>Find in this book</source>
        <translation>In diesem Buch suchen</translation>
    </message>
    <message>
        <source>Previous match (Shift+F3)</source>
        <translation>Vorheriger Treffer (Umschalt+F3)</translation>
    </message>
    <message>
        <source>Next match (F3)</source>
        <translation>Nächster Treffer (F3)</translation>
    </message>
    <message>
        <source>%1 is protected by a password. Type it to open the book:</source>
        <translation>%1 ist durch ein Passwort geschützt. Geben Sie es ein, um das Buch zu öffnen:</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>This PDF is protected by a password, and none was given.</source>
        <translation>Dieses PDF ist durch ein Passwort geschützt, und es wurde keines angegeben.</translation>
    </message>
    <message>
        <source>That password did not open %1. Try again:</source>
        <translation>Dieses Passwort öffnet %1 nicht. Noch einmal versuchen:</translation>
    </message>
    <message>
        <source>This PDF has no pages to show.</source>
        <translation>Dieses PDF hat keine Seiten zum Anzeigen.</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Die Datei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>This PDF is locked in a way Lirenta cannot open.</source>
        <translation>Dieses PDF ist auf eine Weise gesperrt, die Lirenta nicht öffnen kann.</translation>
    </message>
    <message>
        <source>This PDF cannot be shown: the file is damaged, cut short or empty.</source>
        <translation>Dieses PDF kann nicht angezeigt werden: Die Datei ist beschädigt, abgeschnitten oder leer.</translation>
    </message>
    <message>
        <source>No matches</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Apps</source>
        <translation>Programme</translation>
    </message>
    <message>
        <source>Paths</source>
        <translation>Pfade</translation>
    </message>
    <message>
        <source>Reading</source>
        <translation>Lesen</translation>
    </message>
    <message>
        <source>Credits</source>
        <translation>Mitwirkende</translation>
    </message>
    <message>
        <source>&lt;p&gt;Lirenta is built with these free parts, thanks to their authors:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Qt 6&lt;/b&gt; (Widgets, SQL, Network, WebEngine, PDF): LGPL 3&lt;/li&gt;&lt;li&gt;&lt;b&gt;Chromium&lt;/b&gt;, inside Qt WebEngine: BSD and other free licences&lt;/li&gt;&lt;li&gt;&lt;b&gt;SQLite&lt;/b&gt;: public domain&lt;/li&gt;&lt;li&gt;&lt;b&gt;QuaZip&lt;/b&gt; and &lt;b&gt;zlib&lt;/b&gt;: LGPL 2.1 with static linking exception; zlib licence&lt;/li&gt;&lt;li&gt;&lt;b&gt;Breeze icons&lt;/b&gt; from KDE: LGPL 3&lt;/li&gt;&lt;li&gt;&lt;b&gt;Calibre&lt;/b&gt;'s ebook-convert, run as a separate program for conversions: GPL 3&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;p&gt;Lirenta ist aus diesen freien Teilen gebaut, mit Dank an ihre Autoren:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Qt 6&lt;/b&gt; (Widgets, SQL, Network, WebEngine, PDF): LGPL 3&lt;/li&gt;&lt;li&gt;&lt;b&gt;Chromium&lt;/b&gt;, in Qt WebEngine: BSD und andere freie Lizenzen&lt;/li&gt;&lt;li&gt;&lt;b&gt;SQLite&lt;/b&gt;: gemeinfrei&lt;/li&gt;&lt;li&gt;&lt;b&gt;QuaZip&lt;/b&gt; und &lt;b&gt;zlib&lt;/b&gt;: LGPL 2.1 mit Ausnahme für statisches Linken; zlib-Lizenz&lt;/li&gt;&lt;li&gt;&lt;b&gt;Breeze-Symbole&lt;/b&gt; von KDE: LGPL 3&lt;/li&gt;&lt;li&gt;&lt;b&gt;Calibres&lt;/b&gt; ebook-convert, als eigenes Programm für Umwandlungen gestartet: GPL 3&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>About Lirenta</source>
        <translation>Über Lirenta</translation>
    </message>
    <message>
        <source>&lt;center&gt;&lt;b&gt;Lirenta&lt;/b&gt; by Quemark&lt;hr&gt;Version %1&lt;hr&gt;&lt;a href="%2"&gt;Website&lt;/a&gt;&lt;/center&gt;</source>
        <translation>&lt;center&gt;&lt;b&gt;Lirenta&lt;/b&gt; von Quemark&lt;hr&gt;Version %1&lt;hr&gt;&lt;a href="%2"&gt;Webseite&lt;/a&gt;&lt;/center&gt;</translation>
    </message>
    <message>
        <source>Sharing</source>
        <translation>Freigabe</translation>
    </message>
</context>
<context>
    <name>Prompt</name>
    <message>
        <source>You have requested to delete one or more items.</source>
        <translation>Sie möchten einen oder mehrere Einträge löschen.</translation>
    </message>
    <message>
        <source>%1 items</source>
        <translation>%1 Einträge</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to delete these items? No files will be deleted!</source>
        <translation>Möchten Sie diese Einträge wirklich löschen? Es werden keine Dateien gelöscht!</translation>
    </message>
</context>
<context>
    <name>Rating</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>Reader</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>This book cannot be shown: %1.</source>
        <translation>Dieses Buch kann nicht angezeigt werden: %1.</translation>
    </message>
    <message>
        <source>no private folder to unpack it in</source>
        <translation>kein privater Ordner zum Entpacken</translation>
    </message>
    <message>
        <source>the file cannot be read</source>
        <translation>die Datei kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>it holds no chapters that can be shown</source>
        <translation>es enthält keine anzeigbaren Kapitel</translation>
    </message>
</context>
<context>
    <name>ReadingPage</name>
    <message>
        <source>Open PDF books in</source>
        <translation>PDF-Bücher öffnen in</translation>
    </message>
    <message>
        <source>Lirenta's reader, which comes back to the page you left</source>
        <translation>Lirentas Leser, der zur zuletzt gelesenen Seite zurückkehrt</translation>
    </message>
    <message>
        <source>The desktop's PDF viewer</source>
        <translation>Dem PDF-Betrachter des Desktops</translation>
    </message>
    <message>
        <source>Either way, a book's menu has "Open with System Viewer" for the other.</source>
        <translation>So oder so bietet das Menü eines Buches „Mit dem Systemprogramm öffnen“ für das andere.</translation>
    </message>
</context>
<context>
    <name>RichTextEditor</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>B</source>
        <translation>F</translation>
    </message>
    <message>
        <source>I</source>
        <translation>K</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Notes on book</source>
        <translation>Notizen zum Buch</translation>
    </message>
    <message>
        <source>Notes on </source>
        <translation>Notizen zu </translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>The note on "%1" could not be saved.</source>
        <translation>Die Notiz zu „%1“ konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Retry to save it again, Discard to drop your changes, or Cancel to keep the note on screen.</source>
        <translation>Wiederholen, um sie erneut zu speichern, Verwerfen, um Ihre Änderungen zu verwerfen, oder Abbrechen, um die Notiz auf dem Bildschirm zu behalten.</translation>
    </message>
    <message>
        <source>The library is read-only: notes cannot be changed.</source>
        <translation>Die Bibliothek ist schreibgeschützt: Notizen können nicht geändert werden.</translation>
    </message>
    <message>
        <source>Select an item to write its note.</source>
        <translation>Wählen Sie einen Eintrag aus, um seine Notiz zu schreiben.</translation>
    </message>
    <message>
        <source>Select a book or web page, or open a book in the reader, to read and write its note here.</source>
        <translation>Wählen Sie ein Buch oder eine Webseite oder öffnen Sie ein Buch im Leser, um hier seine Notiz zu lesen und zu schreiben.</translation>
    </message>
</context>
<context>
    <name>SharingPage</name>
    <message>
        <source>Share the library on the local network</source>
        <translation>Die Bibliothek im lokalen Netz freigeben</translation>
    </message>
    <message>
        <source>Let phones, tablets and e-readers on this network read the library (read-only)</source>
        <translation>Telefone, Tablets und E-Reader in diesem Netz dürfen die Bibliothek lesen (nur lesend)</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <source>New Password</source>
        <translation>Neues Passwort</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>Reading apps find the catalogue at the address followed by "opds"; a browser shows the books at the address itself. Any user name goes with the password.</source>
        <translation>Lese-Apps finden den Katalog unter der Adresse, gefolgt von „opds“; ein Browser zeigt die Bücher unter der Adresse selbst. Jeder Benutzername passt zum Passwort.</translation>
    </message>
    <message>
        <source>Answer public addresses too, not only this computer and its local network</source>
        <translation>Auch öffentlichen Adressen antworten, nicht nur diesem Computer und seinem lokalen Netz</translation>
    </message>
    <message>
        <source>Anyone on the internet who can reach this computer can then try the password and, with it, read and download every book. Turn this on only when you know why you need it.</source>
        <translation>Dann kann jeder im Internet, der diesen Computer erreicht, das Passwort probieren und mit ihm jedes Buch lesen und herunterladen. Schalten Sie das nur ein, wenn Sie wissen, wozu Sie es brauchen.</translation>
    </message>
</context>
<context>
    <name>SharingStatus</name>
    <message>
        <source>Stop Sharing</source>
        <translation>Freigabe beenden</translation>
    </message>
    <message>
        <source>Sharing at %1</source>
        <translation>Freigegeben unter %1</translation>
    </message>
    <message>
        <source>Sharing at %1, public addresses too</source>
        <translation>Freigegeben unter %1, auch für öffentliche Adressen</translation>
    </message>
</context>
<context>
    <name>TableButton</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Selected</source>
        <translation>Ausgewählt</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Download from Google</source>
        <translation>Von Google herunterladen</translation>
    </message>
    <message>
        <source>Download information</source>
        <translation>Informationen herunterladen</translation>
    </message>
    <message>
        <source>Import without look-up: the keywords become the title</source>
        <translation>Ohne Nachschlagen importieren: die Stichwörter werden zum Titel</translation>
    </message>
    <message>
        <source>Import Without Look-up</source>
        <translation>Ohne Nachschlagen importieren</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Datei öffnen</translation>
    </message>
</context>
<context>
    <name>ToolTabs</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Die Datei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Select Book</source>
        <translation>Buch auswählen</translation>
    </message>
    <message>
        <source>Book Files (*.pdf *.epub *.txt *.html)</source>
        <translation>Buchdateien (*.pdf *.epub *.txt *.html)</translation>
    </message>
</context>
<context>
    <name>UpdateManager</name>
    <message>
        <source>Update Available</source>
        <translation>Aktualisierung verfügbar</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;body&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px;"&gt;&lt;span style="font-size:10pt; font-weight:600;"&gt;Lirenta Update Available&lt;/span&gt;&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;A new version of Lirenta  is available.&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;You are currently running version: EXISTING_VERSION&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;The latest version is: NEW_VERSION&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;&lt;a href="https://lirenta.org/download"&gt;&lt;span style="text-decoration: underline; color:#0000ff;"&gt;Download&lt;/span&gt;&lt;/a&gt;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&lt;a href="https://lirenta.org/changelog"&gt;&lt;span style="text-decoration: underline; color:#0000ff;"&gt;Changelog&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;body&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px;"&gt;&lt;span style="font-size:10pt; font-weight:600;"&gt;Aktualisierung für Lirenta verfügbar&lt;/span&gt;&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;Eine neue Version von Lirenta ist verfügbar.&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;Sie verwenden derzeit Version: EXISTING_VERSION&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;Die neueste Version ist: NEW_VERSION&lt;/p&gt;&lt;p align="center" style="margin-top:12px; margin-bottom:12px; font-size:8pt;"&gt;&lt;a href="https://lirenta.org/download"&gt;&lt;span style="text-decoration: underline; color:#0000ff;"&gt;Herunterladen&lt;/span&gt;&lt;/a&gt;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&amp;nbsp;&lt;a href="https://lirenta.org/changelog"&gt;&lt;span style="text-decoration: underline; color:#0000ff;"&gt;Änderungen&lt;/span&gt;&lt;/a&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>The update check was skipped: there is no network.</source>
        <translation>Die Suche nach Aktualisierungen wurde übersprungen: es gibt kein Netzwerk.</translation>
    </message>
    <message>
        <source>The update check failed: %1</source>
        <translation>Die Suche nach Aktualisierungen ist fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>The update check failed: the server answered %1.</source>
        <translation>Die Suche nach Aktualisierungen ist fehlgeschlagen: der Server antwortete %1.</translation>
    </message>
    <message>
        <source>Lirenta %1 is the newest version.</source>
        <translation>Lirenta %1 ist die neueste Version.</translation>
    </message>
    <message>
        <source>Lirenta %1 is available; this is %2.</source>
        <translation>Lirenta %1 ist verfügbar; dies ist %2.</translation>
    </message>
    <message>
        <source>Skip This Version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Später erinnern</translation>
    </message>
</context>
<context>
    <name>WebBrowser</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Generate a PDF available through Webpages on the left.</source>
        <translation>Ein PDF erstellen, das links unter Webseiten erscheint.</translation>
    </message>
    <message>
        <source>Select a portion of the page to include in PDF.</source>
        <translation>Einen Teil der Seite für das PDF auswählen.</translation>
    </message>
    <message>
        <source>Open in external browser</source>
        <translation>Im externen Browser öffnen</translation>
    </message>
    <message>
        <source>open</source>
        <translation>öffnen</translation>
    </message>
    <message>
        <source>The library is read-only: pages cannot be captured into it.</source>
        <translation>Die Bibliothek ist schreibgeschützt: Seiten können nicht in sie gespeichert werden.</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Ohne Titel</translation>
    </message>
    <message>
        <source>The page could not be printed to %1.</source>
        <translation>Die Seite konnte nicht nach %1 gedruckt werden.</translation>
    </message>
    <message>
        <source>Capture</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>The page was saved as %1, but it could not be added to the library.</source>
        <translation>Die Seite wurde als %1 gespeichert, konnte aber nicht zur Bibliothek hinzugefügt werden.</translation>
    </message>
    <message>
        <source>This page is in the library already.</source>
        <translation>Diese Seite ist bereits in der Bibliothek.</translation>
    </message>
    <message>
        <source>Replace the copy in the library with the page as it is now, or keep both?</source>
        <translation>Die Kopie in der Bibliothek durch die Seite in ihrem jetzigen Zustand ersetzen oder beide behalten?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Keep Both</source>
        <translation>Beide behalten</translation>
    </message>
</context>
<context>
    <name>WebPageProperties</name>
    <message>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Ansicht</translation>
    </message>
    <message>
        <source>&amp;Title:</source>
        <translation>&amp;Titel:</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;Pages</source>
        <translation>&amp;Seiten</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>&amp;Read it?</source>
        <translation>&amp;Gelesen?</translation>
    </message>
    <message>
        <source>yyyy-MM-dd</source>
        <translation>yyyy-MM-dd</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>..</source>
        <translation>..</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>Add File</source>
        <translation>Datei hinzufügen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>MD5</source>
        <translation>MD5</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete this book from the library.</source>
        <translation>Dieses Buch aus der Bibliothek löschen.</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>The library is read-only.</source>
        <translation>Die Bibliothek ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>Select Book</source>
        <translation>Buch auswählen</translation>
    </message>
    <message>
        <source>Book Files (*.pdf *.chm *.epub *.mobi)</source>
        <translation>Buchdateien (*.pdf *.chm *.epub *.mobi)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>You must enter a book title.</source>
        <translation>Sie müssen einen Buchtitel eingeben.</translation>
    </message>
    <message>
        <source>The page could not be saved in the library. Nothing was changed.</source>
        <translation>Die Seite konnte nicht in der Bibliothek gespeichert werden. Es wurde nichts geändert.</translation>
    </message>
</context>
<context>
    <name>WelcomePanel</name>
    <message>
        <source>&lt;h2&gt;Welcome to Lirenta&lt;/h2&gt;</source>
        <translation>&lt;h2&gt;Willkommen bei Lirenta&lt;/h2&gt;</translation>
    </message>
    <message>
        <source>Add a Book</source>
        <translation>Ein Buch hinzufügen</translation>
    </message>
    <message>
        <source>Add a Folder</source>
        <translation>Einen Ordner hinzufügen</translation>
    </message>
    <message>
        <source>You can also drop book files or a folder on this window, or a web address to capture the page.</source>
        <translation>Sie können auch Buchdateien oder einen Ordner auf dieses Fenster ziehen, oder eine Webadresse, um die Seite zu speichern.</translation>
    </message>
    <message>
        <source>Your library is empty. Add e-books (PDF, EPUB, CHM, MOBI, text) one by one, or a whole folder of them at once; their titles, authors and covers come from the files themselves or can be looked up online.</source>
        <translation>Ihre Bibliothek ist leer. Fügen Sie E-Books (PDF, EPUB, CHM, MOBI, Text) einzeln hinzu oder einen ganzen Ordner davon auf einmal; Titel, Autoren und Cover kommen aus den Dateien selbst oder können online nachgeschlagen werden.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>A personal library of e-books and web pages captured as PDF.</source>
        <translation>Eine persönliche Bibliothek von E-Books und als PDF gespeicherten Webseiten.</translation>
    </message>
    <message>
        <source>Books to open: EPUB, HTML and text files open in the reader, other book files are offered for adding.</source>
        <translation>Zu öffnende Bücher: EPUB-, HTML- und Textdateien öffnen im Lesebereich, andere Buchdateien werden zum Hinzufügen angeboten.</translation>
    </message>
</context>
<context>
    <name>searchbox</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Search...</source>
        <translation>Suchen...</translation>
    </message>
    <message>
        <source>Search in titles and descriptions, or in everything</source>
        <translation>In Titeln und Beschreibungen suchen, oder in allem</translation>
    </message>
    <message>
        <source>Search everything...</source>
        <translation>Alles durchsuchen...</translation>
    </message>
    <message>
        <source>Search inside books...</source>
        <translation>Im Inhalt der Bücher suchen …</translation>
    </message>
</context>
</TS>