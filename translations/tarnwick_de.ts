<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Appcast</name>
    <message>
        <source>no version</source>
        <translation>keine Version</translation>
    </message>
    <message>
        <source>no enclosure</source>
        <translation>keine Download-Angabe (enclosure)</translation>
    </message>
    <message>
        <source>the download &quot;%1&quot; is not an https link</source>
        <translation>der Download „%1“ ist kein https-Link</translation>
    </message>
    <message>
        <source>the length &quot;%1&quot; is not a number</source>
        <translation>die Länge „%1“ ist keine Zahl</translation>
    </message>
    <message>
        <source>item %1: %2</source>
        <translation>Eintrag %1: %2</translation>
    </message>
    <message>
        <source>not an RSS feed (the document is &lt;%1&gt;)</source>
        <translation>kein RSS-Feed (das Dokument ist &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>the appcast is not well-formed XML (line %1: %2)</source>
        <translation>der Appcast ist kein wohlgeformtes XML (Zeile %1: %2)</translation>
    </message>
    <message>
        <source>the appcast has no &lt;channel&gt;</source>
        <translation>der Appcast hat kein &lt;channel&gt;</translation>
    </message>
    <message>
        <source>the appcast has no usable item (%1)</source>
        <translation>der Appcast hat keinen verwendbaren Eintrag (%1)</translation>
    </message>
</context>
<context>
    <name>AutostartEntry</name>
    <message>
        <source>cannot read the autostart template %1: %2</source>
        <translation>Die Autostart-Vorlage %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>the autostart template %1 is not a desktop entry</source>
        <translation>Die Autostart-Vorlage %1 ist keine Desktop-Datei</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 ist ein Ordner</translation>
    </message>
    <message>
        <source>cannot delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>unbekannte Option „%1“</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value (%2)</source>
        <translation>Option „%1“ braucht einen Wert (%2)</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; takes no value</source>
        <translation>Option „%1“ nimmt keinen Wert</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a value of &apos;%2&apos; (%3)</source>
        <translation>„%1“ ist kein Wert von „%2“ (%3)</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; works only with &apos;%2&apos;</source>
        <translation>Option „%1“ gilt nur zusammen mit „%2“</translation>
    </message>
    <message>
        <source>&apos;%1&apos; and &apos;%2&apos; cannot be combined</source>
        <translation>„%1“ und „%2“ lassen sich nicht kombinieren</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs a folder</source>
        <translation>„%1“ braucht einen Ordner</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <source>%1 (see &apos;%2&apos;)</source>
        <translation>%1 (siehe „%2“)</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Aufruf:</translation>
    </message>
    <message>
        <source>Options of --print:</source>
        <translation>Optionen von --print:</translation>
    </message>
    <message>
        <source>&apos;tarnwick --print --help&apos; tells more; &apos;man tarnwick&apos; tells all.</source>
        <translation>„tarnwick --print --help“ sagt mehr, „man tarnwick“ sagt alles.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Fields of each JSON object (--json):</source>
        <translation>Felder jedes JSON-Objekts (--json):</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Rückgabewert:</translation>
    </message>
    <message>
        <source>Do what the shortcut does: open a panel on the folder of the file manager window in front, in the running Tarnwick.</source>
        <translation>Tun, was das Tastenkürzel tut: im laufenden Tarnwick eine Leiste für den Ordner des vordersten Dateiverwaltungsfensters öffnen.</translation>
    </message>
    <message>
        <source>For desktops whose own settings bind the shortcut to a command.</source>
        <translation>Für Arbeitsumgebungen, deren eigene Einstellungen das Tastenkürzel an einen Befehl binden.</translation>
    </message>
    <message>
        <source>Open the settings window of the running Tarnwick.</source>
        <translation>Das Einstellungsfenster des laufenden Tarnwick öffnen.</translation>
    </message>
    <message>
        <source>Show a panel on FOLDER alone, without the tray; it ends when the panel closes.</source>
        <translation>Nur eine Leiste für ORDNER zeigen, ohne Symbol im Systembereich; endet, wenn die Leiste geschlossen wird.</translation>
    </message>
    <message>
        <source>Search FOLDER for QUERY and print the results, without any window.</source>
        <translation>ORDNER nach SUCHBEGRIFF durchsuchen und die Ergebnisse ausgeben, ohne Fenster.</translation>
    </message>
    <message>
        <source>Lists, filters and sorts exactly as the panel does; its options follow.</source>
        <translation>Listet, filtert und sortiert genau wie die Leiste; die Optionen dazu folgen.</translation>
    </message>
    <message>
        <source>Add &quot;Search here with Tarnwick&quot; to Nautilus and Thunar for this user.</source>
        <translation>„Hier mit Tarnwick suchen“ für diesen Benutzer zu Nautilus und Thunar hinzufügen.</translation>
    </message>
    <message>
        <source>Dolphin and Nemo get their actions from the package.</source>
        <translation>Dolphin und Nemo erhalten ihre Aktionen aus dem Paket.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Die Version ausgeben und beenden.</translation>
    </message>
    <message>
        <source>Print this help and exit; after --print, the help of --print.</source>
        <translation>Diese Hilfe ausgeben und beenden; nach --print die Hilfe zu --print.</translation>
    </message>
    <message>
        <source>Order of the results: name, date or size (default: name); folders come first.</source>
        <translation>Reihenfolge der Ergebnisse: name, date oder size (Vorgabe: name); Ordner kommen zuerst.</translation>
    </message>
    <message>
        <source>Names ascend as the user&apos;s language sorts them, ignoring case; dates run newest first, sizes largest first.</source>
        <translation>Namen aufsteigend, wie die Sprache des Benutzers sortiert, ohne Rücksicht auf Groß- und Kleinschreibung; Daten vom neuesten, Größen vom größten an.</translation>
    </message>
    <message>
        <source>Keep only files with this extension, or folders for __folder__; repeatable.</source>
        <translation>Nur Dateien mit dieser Endung behalten, oder Ordner bei __folder__; wiederholbar.</translation>
    </message>
    <message>
        <source>KEY is compared without regard to case, e.g. pdf, jpg or __folder__.</source>
        <translation>SCHLÜSSEL wird ohne Rücksicht auf Groß- und Kleinschreibung verglichen, z. B. pdf, jpg oder __folder__.</translation>
    </message>
    <message>
        <source>End each result with a NUL byte instead of a newline, for xargs -0.</source>
        <translation>Jedes Ergebnis mit einem NUL-Byte statt einem Zeilenumbruch beenden, für xargs -0.</translation>
    </message>
    <message>
        <source>Where the files whose text contains QUERY come from: auto, tracker, scan or none (default: auto).</source>
        <translation>Woher die Dateien kommen, deren Text SUCHBEGRIFF enthält: auto, tracker, scan oder none (Vorgabe: auto).</translation>
    </message>
    <message>
        <source>auto: Tracker where it indexes the folder, with Tarnwick&apos;s own scan for the files Tracker cannot read, and the scan elsewhere; tracker: Tracker alone; scan: the scan alone; none: names and paths only.</source>
        <translation>auto: Tracker, wo er den Ordner indiziert, mit Tarnwicks eigener Durchsuchung für die Dateien, die Tracker nicht lesen kann, und sonst die Durchsuchung; tracker: nur Tracker; scan: nur die Durchsuchung; none: nur Namen und Pfade.</translation>
    </message>
    <message>
        <source>Print each result as one JSON object on a line of its own.</source>
        <translation>Jedes Ergebnis als ein JSON-Objekt auf einer eigenen Zeile ausgeben.</translation>
    </message>
    <message>
        <source>Its fields are listed below.</source>
        <translation>Seine Felder stehen weiter unten.</translation>
    </message>
    <message>
        <source>Take the actions away again.</source>
        <translation>Die Aktionen wieder entfernen.</translation>
    </message>
    <message>
        <source>Start in the tray; a second start hands over to the first and ends.</source>
        <translation>Im Systembereich starten; ein zweiter Start übergibt an den ersten und endet.</translation>
    </message>
    <message>
        <source>Open a panel on FOLDER in the running Tarnwick.</source>
        <translation>Im laufenden Tarnwick eine Leiste für ORDNER öffnen.</translation>
    </message>
    <message>
        <source>Open a panel on the folder of the file manager window in front.</source>
        <translation>Eine Leiste für den Ordner des vordersten Dateiverwaltungsfensters öffnen.</translation>
    </message>
    <message>
        <source>Open the settings window.</source>
        <translation>Das Einstellungsfenster öffnen.</translation>
    </message>
    <message>
        <source>Show a panel on FOLDER alone, without the tray.</source>
        <translation>Nur eine Leiste für ORDNER zeigen, ohne Systembereich.</translation>
    </message>
    <message>
        <source>Search FOLDER and print the results.</source>
        <translation>ORDNER durchsuchen und die Ergebnisse ausgeben.</translation>
    </message>
    <message>
        <source>Add (or remove) &quot;Search here with Tarnwick&quot; in Nautilus and Thunar.</source>
        <translation>„Hier mit Tarnwick suchen“ zu Nautilus und Thunar hinzufügen (oder entfernen).</translation>
    </message>
    <message>
        <source>Print the version.</source>
        <translation>Die Version ausgeben.</translation>
    </message>
    <message>
        <source>Print this help.</source>
        <translation>Diese Hilfe ausgeben.</translation>
    </message>
    <message>
        <source>The folder to search: everything below it is listed (hidden files only when the showHiddenFiles setting is on).</source>
        <translation>Der zu durchsuchende Ordner: alles darunter wird aufgelistet (verborgene Dateien nur, wenn die Einstellung showHiddenFiles an ist).</translation>
    </message>
    <message>
        <source>What to look for in names, paths below FOLDER and the files&apos; text; without it every item is printed. Case and accents written either way do not matter.</source>
        <translation>Wonach in Namen, Pfaden unterhalb von ORDNER und im Text der Dateien gesucht wird; ohne ihn wird jedes Objekt ausgegeben. Groß- und Kleinschreibung und Akzente spielen keine Rolle.</translation>
    </message>
    <message>
        <source>The path below FOLDER as text; bytes of a name that are not valid UTF-8 read as U+FFFD.</source>
        <translation>Der Pfad unterhalb von ORDNER als Text; Bytes eines Namens, die kein gültiges UTF-8 sind, erscheinen als U+FFFD.</translation>
    </message>
    <message>
        <source>Only for such a name: the path&apos;s exact bytes, in base64.</source>
        <translation>Nur für einen solchen Namen: die genauen Bytes des Pfads, in Base64.</translation>
    </message>
    <message>
        <source>file, folder or symlink (a symbolic link is never followed).</source>
        <translation>file, folder oder symlink (einer symbolischen Verknüpfung wird nie gefolgt).</translation>
    </message>
    <message>
        <source>The size in bytes; null for a folder.</source>
        <translation>Die Größe in Bytes; null bei einem Ordner.</translation>
    </message>
    <message>
        <source>The last change, ISO 8601 in UTC (2024-05-01T09:30:00Z); null when unknown.</source>
        <translation>Die letzte Änderung, ISO 8601 in UTC (2024-05-01T09:30:00Z); null, wenn unbekannt.</translation>
    </message>
    <message>
        <source>How QUERY was found: name, path (below FOLDER) or content (in the file&apos;s text).</source>
        <translation>Wie SUCHBEGRIFF gefunden wurde: name, path (unterhalb von ORDNER) oder content (im Text der Datei).</translation>
    </message>
    <message>
        <source>The name&apos;s or path&apos;s score, higher first; 0 where neither matches or without QUERY.</source>
        <translation>Die Bewertung des Namens oder Pfads, höhere zuerst; 0, wo keiner passt, oder ohne SUCHBEGRIFF.</translation>
    </message>
    <message>
        <source>Only for a content match: the passage around it, or null when none could be read.</source>
        <translation>Nur bei einem Treffer im Inhalt: die Textstelle darum, oder null, wenn keine gelesen werden konnte.</translation>
    </message>
    <message>
        <source>At least one result was printed (or the reader of the output went away).</source>
        <translation>Mindestens ein Ergebnis wurde ausgegeben (oder der Leser der Ausgabe ist verschwunden).</translation>
    </message>
    <message>
        <source>Nothing matched.</source>
        <translation>Nichts passte.</translation>
    </message>
    <message>
        <source>An error: a wrong command line, a folder that is missing, not a folder or unreadable, an index that did not answer, or output that could not be written.</source>
        <translation>Ein Fehler: eine falsche Befehlszeile, ein Ordner, der fehlt, kein Ordner oder nicht lesbar ist, ein Index, der nicht antwortete, oder eine Ausgabe, die nicht geschrieben werden konnte.</translation>
    </message>
    <message>
        <source>Done; for the tray, it was quit.</source>
        <translation>Erledigt; beim Systembereich: er wurde beendet.</translation>
    </message>
    <message>
        <source>The folder cannot be searched, there is no screen for the panel, the running Tarnwick did not answer, or an action could not be changed.</source>
        <translation>Der Ordner kann nicht durchsucht werden, es gibt keinen Bildschirm für die Leiste, das laufende Tarnwick antwortete nicht, oder eine Aktion konnte nicht geändert werden.</translation>
    </message>
    <message>
        <source>A wrong command line.</source>
        <translation>Eine falsche Befehlszeile.</translation>
    </message>
    <message>
        <source>Each result is a line with its path below FOLDER, printed as the bytes it is; after a file found by its text come a tab and the passage around the match. Output to a closed pipe ends the search quietly.</source>
        <translation>Jedes Ergebnis ist eine Zeile mit seinem Pfad unterhalb von ORDNER, ausgegeben Byte für Byte; nach einer über ihren Text gefundenen Datei folgen ein Tabulator und die Textstelle um den Treffer. Eine Ausgabe in eine geschlossene Pipe beendet die Suche ohne Meldung.</translation>
    </message>
</context>
<context>
    <name>ContentMatch</name>
    <message>
        <source>Content match</source>
        <translation>Treffer im Inhalt</translation>
    </message>
</context>
<context>
    <name>CountLabel</name>
    <message>
        <source>Loading…</source>
        <translation>Wird geladen …</translation>
    </message>
    <message numerus="yes">
        <source>%n items — type to search</source>
        <translation>
            <numerusform>%n Objekt – zum Suchen tippen</numerusform>
            <numerusform>%n Objekte – zum Suchen tippen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n results</source>
        <translation>
            <numerusform>%n Ergebnis</numerusform>
            <numerusform>%n Ergebnisse</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n Objekt</numerusform>
            <numerusform>%n Objekte</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
</context>
<context>
    <name>ExtensionPills</name>
    <message>
        <source>All</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>FileManagerActions</name>
    <message>
        <source>Nautilus: added the script %1</source>
        <translation>Nautilus: Skript %1 hinzugefügt</translation>
    </message>
    <message>
        <source>Thunar: added the custom action to %1</source>
        <translation>Thunar: benutzerdefinierte Aktion zu %1 hinzugefügt</translation>
    </message>
    <message>
        <source>Nautilus: no script of ours left</source>
        <translation>Nautilus: kein Skript von Tarnwick mehr vorhanden</translation>
    </message>
    <message>
        <source>Thunar: no custom action of ours left</source>
        <translation>Thunar: keine benutzerdefinierte Aktion von Tarnwick mehr vorhanden</translation>
    </message>
    <message>
        <source>Neither Nautilus nor Thunar was found; Dolphin and Nemo get their action from the package.</source>
        <translation>Weder Nautilus noch Thunar wurde gefunden; Dolphin und Nemo erhalten ihre Aktion aus dem Paket.</translation>
    </message>
</context>
<context>
    <name>FolderArgument</name>
    <message>
        <source>not a folder</source>
        <translation>kein Ordner</translation>
    </message>
</context>
<context>
    <name>HotKeyText</name>
    <message>
        <source>Key %1</source>
        <translation>Taste %1</translation>
    </message>
    <message>
        <source>Activate search</source>
        <translation>Suche aufrufen</translation>
    </message>
    <message>
        <source>Navigate results</source>
        <translation>Durch die Ergebnisse gehen</translation>
    </message>
    <message>
        <source>Open selected file</source>
        <translation>Ausgewählte Datei öffnen</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>In der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>QuickLook preview</source>
        <translation>Schnellvorschau</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>LoginItem</name>
    <message>
        <source>no autostart template installed (looked in %1)</source>
        <translation>keine Autostart-Vorlage installiert (gesucht in %1)</translation>
    </message>
</context>
<context>
    <name>NautilusScriptAction</name>
    <message>
        <source>%1 exists and is not ours; left as it is</source>
        <translation>%1 existiert und stammt nicht von Tarnwick; unverändert gelassen</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
</context>
<context>
    <name>PanelCommand</name>
    <message>
        <source>no screen to show the panel on</source>
        <translation>kein Bildschirm, auf dem die Leiste erscheinen kann</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>The settings could not be saved to %1: the disk may be full or the folder read-only. The earlier settings are kept.</source>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden: Der Datenträger ist vielleicht voll oder der Ordner schreibgeschützt. Die bisherigen Einstellungen bleiben erhalten.</translation>
    </message>
</context>
<context>
    <name>PrintCommand</name>
    <message>
        <source>cannot write the results: %1</source>
        <translation>Die Ergebnisse können nicht geschrieben werden: %1</translation>
    </message>
    <message numerus="yes">
        <source>the index holds %n items here; searching the index alone</source>
        <translation>
            <numerusform>der Index enthält hier %n Objekt; es wird nur im Index gesucht</numerusform>
            <numerusform>der Index enthält hier %n Objekte; es wird nur im Index gesucht</numerusform>
        </translation>
    </message>
    <message>
        <source>the index did not answer</source>
        <translation>der Index hat nicht geantwortet</translation>
    </message>
    <message>
        <source>the index did not answer; matching names only</source>
        <translation>der Index hat nicht geantwortet; nur Namen werden verglichen</translation>
    </message>
</context>
<context>
    <name>ResultText</name>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n Byte</numerusform>
            <numerusform>%n Byte</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SafeFileWrite</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1: %2</source>
        <translation>Die Zugriffsrechte von %1 können nicht gesetzt werden: %2</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Press &lt;b&gt;%1&lt;/b&gt; with a File Manager window in front to search and filter files in the current folder.</source>
        <translation>Drücken Sie &lt;b&gt;%1&lt;/b&gt;, während ein Fenster der Dateiverwaltung vorne ist, um die Dateien im aktuellen Ordner zu durchsuchen und zu filtern.</translation>
    </message>
    <message>
        <source> Meanwhile &lt;b&gt;Search File Manager Window&lt;/b&gt; in the tray menu searches the front folder.</source>
        <translation> Bis dahin durchsucht &lt;b&gt;Dateiverwaltungsfenster durchsuchen&lt;/b&gt; im Menü des Systembereichs den vordersten Ordner.</translation>
    </message>
</context>
<context>
    <name>SortMode</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>ThunarActionsFile</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>Der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot keep a copy of %1 as %2</source>
        <translation>Eine Kopie von %1 kann nicht als %2 behalten werden</translation>
    </message>
    <message>
        <source>%1 left unchanged: %2</source>
        <translation>%1 unverändert gelassen: %2</translation>
    </message>
</context>
<context>
    <name>ThunarCustomActions</name>
    <message>
        <source>the root element is &lt;%1&gt;, not &lt;actions&gt;</source>
        <translation>das Wurzelelement ist &lt;%1&gt;, nicht &lt;actions&gt;</translation>
    </message>
    <message>
        <source>cannot find the bounds of an action</source>
        <translation>die Grenzen einer Aktion sind nicht zu finden</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
    <message>
        <source>no &lt;actions&gt; element</source>
        <translation>kein &lt;actions&gt;-Element</translation>
    </message>
    <message>
        <source>the file is not UTF-8 text</source>
        <translation>die Datei ist kein UTF-8-Text</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>“%1” could not be moved to the trash: %2.</source>
        <translation>„%1“ konnte nicht in den Papierkorb verschoben werden: %2.</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>unbekannter Fehler</translation>
    </message>
    <message>
        <source>“%1” was not found.</source>
        <translation>„%1“ wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>“%1” could not be moved to the trash: it is still in its place.</source>
        <translation>„%1“ konnte nicht in den Papierkorb verschoben werden: Es ist noch an seinem Platz.</translation>
    </message>
    <message>
        <source>“%1” was moved, but not into a trash folder.</source>
        <translation>„%1“ wurde verschoben, aber nicht in einen Papierkorb.</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>Search File Manager Window</source>
        <translation>Dateiverwaltungsfenster durchsuchen</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <source>Quit Tarnwick</source>
        <translation>Tarnwick beenden</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>the running instance did not answer: %1</source>
        <translation>das laufende Tarnwick hat nicht geantwortet: %1</translation>
    </message>
    <message>
        <source>cannot load the interface: %1</source>
        <translation>die Oberfläche lässt sich nicht laden: %1</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastDialog</name>
    <message>
        <source>Release Notes:</source>
        <translation>Versionshinweise:</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Softwareaktualisierung</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Nach Aktualisierungen wird gesucht …</translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation>Sie sind auf dem neuesten Stand!</translation>
    </message>
    <message>
        <source>Tarnwick %1 is currently the newest version available.</source>
        <translation>Tarnwick %1 ist derzeit die neueste verfügbare Version.</translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation>Aktualisierungsfehler!</translation>
    </message>
    <message>
        <source>A new version of Tarnwick is available!</source>
        <translation>Eine neue Version von Tarnwick ist verfügbar!</translation>
    </message>
    <message>
        <source>Tarnwick %1 is now available—you have %2. Would you like to download it now?</source>
        <translation>Tarnwick %1 ist jetzt verfügbar – Sie haben %2. Möchten Sie es jetzt herunterladen?</translation>
    </message>
    <message>
        <source>Skip This Version</source>
        <translation>Diese Version überspringen</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Später erinnern</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastFetcher</name>
    <message>
        <source>the update server did not answer within %1 seconds</source>
        <translation>der Aktualisierungsserver hat nicht innerhalb von %1 Sekunden geantwortet</translation>
    </message>
    <message>
        <source>refusing to read updates from %1: only https addresses are accepted</source>
        <translation>Aktualisierungen von %1 werden nicht gelesen: nur https-Adressen sind erlaubt</translation>
    </message>
    <message>
        <source>the update server redirected more than %1 times</source>
        <translation>der Aktualisierungsserver hat mehr als %1-mal umgeleitet</translation>
    </message>
    <message>
        <source>refusing the redirect to %1: updates are only read over https</source>
        <translation>Umleitung nach %1 abgelehnt: Aktualisierungen werden nur über https gelesen</translation>
    </message>
    <message>
        <source>the appcast is %1, more than the %2 an appcast may be</source>
        <translation>der Appcast ist %1 groß, mehr als die erlaubten %2</translation>
    </message>
    <message>
        <source>the appcast is larger than the %1 an appcast may be</source>
        <translation>der Appcast ist größer als die erlaubten %1</translation>
    </message>
    <message>
        <source>cannot read the appcast: %1</source>
        <translation>Der Appcast kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>the update server answered HTTP %1 %2</source>
        <translation>der Aktualisierungsserver antwortete mit HTTP %1 %2</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastReleaseNotes</name>
    <message>
        <source>&lt;p&gt;Read about this version at &lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Mehr zu dieser Version unter &lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;No release notes were published with this version.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Zu dieser Version wurden keine Versionshinweise veröffentlicht.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>tarnwick::HotKeyManager</name>
    <message>
        <source>Shortcut: %1</source>
        <translation>Tastenkürzel: %1</translation>
    </message>
    <message>
        <source>Shortcut: waiting for the desktop…</source>
        <translation>Tastenkürzel: Warten auf die Arbeitsumgebung …</translation>
    </message>
    <message>
        <source>Shortcut: none (see Settings)</source>
        <translation>Tastenkürzel: keines (siehe Einstellungen)</translation>
    </message>
    <message>
        <source>%1 is no key of this keyboard.</source>
        <translation>%1 ist keine Taste dieser Tastatur.</translation>
    </message>
    <message>
        <source>GNOME lets only its own settings react to %1: add it there below.</source>
        <translation>GNOME lässt nur seine eigenen Einstellungen auf %1 reagieren: Fügen Sie es dort unten hinzu.</translation>
    </message>
    <message>
        <source>No shortcut: %1.</source>
        <translation>Kein Tastenkürzel: %1.</translation>
    </message>
    <message>
        <source>Another application holds %1: quit it and restart Tarnwick.</source>
        <translation>Eine andere Anwendung belegt %1: Beenden Sie sie und starten Sie Tarnwick neu.</translation>
    </message>
    <message>
        <source>Plasma did not bind %1: give “Search File Manager Window” a key in System Settings › Shortcuts.</source>
        <translation>Plasma hat %1 nicht zugewiesen: Geben Sie „Dateiverwaltungsfenster durchsuchen“ in den Systemeinstellungen › Kurzbefehle eine Taste.</translation>
    </message>
    <message>
        <source>The desktop did not bind %1: give Tarnwick a key in its shortcut settings.</source>
        <translation>Die Arbeitsumgebung hat %1 nicht zugewiesen: Geben Sie Tarnwick in deren Tastenkürzel-Einstellungen eine Taste.</translation>
    </message>
</context>
<context>
    <name>tarnwick::PreviewWindow</name>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
</context>
<context>
    <name>tarnwick::ResultText</name>
    <message>
        <source>in %1</source>
        <translation>in %1</translation>
    </message>
</context>
<context>
    <name>tarnwick::SearchPanel</name>
    <message>
        <source>Filter files…</source>
        <translation>Dateien filtern …</translation>
    </message>
    <message>
        <source>“%1” cannot be opened: its path is longer than the 4096 bytes other applications accept. Copy File and Move to Trash still work.</source>
        <translation>„%1“ kann nicht geöffnet werden: Sein Pfad ist länger als die 4096 Bytes, die andere Anwendungen annehmen. „Datei kopieren“ und „In den Papierkorb verschieben“ funktionieren weiterhin.</translation>
    </message>
    <message>
        <source>“%1” cannot be shown in the file manager: its path is longer than the 4096 bytes other applications accept. Copy File and Move to Trash still work.</source>
        <translation>„%1“ kann nicht in der Dateiverwaltung gezeigt werden: Sein Pfad ist länger als die 4096 Bytes, die andere Anwendungen annehmen. „Datei kopieren“ und „In den Papierkorb verschieben“ funktionieren weiterhin.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>In der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>Copy File</source>
        <translation>Datei kopieren</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
    <message>
        <source>File types</source>
        <translation>Dateitypen</translation>
    </message>
    <message>
        <source>Sort order</source>
        <translation>Sortierung</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Ergebnisse</translation>
    </message>
    <message>
        <source>Filter files in %1</source>
        <translation>Dateien in %1 filtern</translation>
    </message>
</context>
<context>
    <name>tarnwick::SettingsView</name>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>Tarnwick Settings</source>
        <translation>Tarnwick-Einstellungen</translation>
    </message>
    <message>
        <source>Tarnwick</source>
        <translation>Tarnwick</translation>
    </message>
    <message>
        <source>Behaviour</source>
        <translation>Verhalten</translation>
    </message>
    <message>
        <source>Show hidden files in results</source>
        <translation>Verborgene Dateien in den Ergebnissen zeigen</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>File Manager</source>
        <translation>Dateiverwaltung</translation>
    </message>
    <message>
        <source>“Search with Tarnwick” action</source>
        <translation>Aktion „Mit Tarnwick suchen“</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Shortcut in GNOME&apos;s settings</source>
        <translation>Tastenkürzel in den GNOME-Einstellungen</translation>
    </message>
    <message>
        <source>Launch at login could not be changed: %1.</source>
        <translation>„Bei der Anmeldung starten“ konnte nicht geändert werden: %1.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>In the context menu of %1.</source>
        <translation>Im Kontextmenü von %1.</translation>
    </message>
    <message>
        <source>Adds it to the context menu of %1.</source>
        <translation>Fügt sie zum Kontextmenü von %1 hinzu.</translation>
    </message>
    <message>
        <source>GNOME runs the search when you press %1.</source>
        <translation>GNOME startet die Suche, wenn Sie %1 drücken.</translation>
    </message>
    <message>
        <source>GNOME on Wayland lets only its own settings react to %1 everywhere. Add it there?</source>
        <translation>GNOME unter Wayland lässt nur seine eigenen Einstellungen überall auf %1 reagieren. Dort hinzufügen?</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Aktivieren</translation>
    </message>
    <message>
        <source>Tarnwick&apos;s GNOME Shell extension</source>
        <translation>GNOME-Shell-Erweiterung von Tarnwick</translation>
    </message>
    <message>
        <source>On: it finds the front Nautilus window and tab, answers %1 and places the panel.</source>
        <translation>An: Sie findet das vorderste Nautilus-Fenster und den Reiter, reagiert auf %1 und platziert die Leiste.</translation>
    </message>
    <message>
        <source>Off: with several Nautilus windows Tarnwick cannot tell which is in front, and GNOME places the panel. Enable it?</source>
        <translation>Aus: Bei mehreren Nautilus-Fenstern kann Tarnwick nicht erkennen, welches vorne ist, und GNOME platziert die Leiste. Aktivieren?</translation>
    </message>
    <message>
        <source>Not installed: GNOME Shell finds it in /usr/share/gnome-shell/extensions/%1 once Tarnwick&apos;s package is installed.</source>
        <translation>Nicht installiert: GNOME Shell findet sie in /usr/share/gnome-shell/extensions/%1, sobald das Paket von Tarnwick installiert ist.</translation>
    </message>
    <message>
        <source>GNOME Shell could not run it: see the Extensions app.</source>
        <translation>GNOME Shell konnte sie nicht ausführen: Siehe die Anwendung „Erweiterungen“.</translation>
    </message>
    <message>
        <source>Keep recent folder listings</source>
        <translation>Zuletzt durchsuchte Ordner behalten</translation>
    </message>
    <message>
        <source>A folder searched again opens at once; changes are read on opening.</source>
        <translation>Ein erneut durchsuchter Ordner öffnet sofort; Änderungen werden beim Öffnen gelesen.</translation>
    </message>
    <message>
        <source> MB</source>
        <translation> MB</translation>
    </message>
    <message>
        <source>Memory for kept listings</source>
        <translation>Speicher für behaltene Ordner</translation>
    </message>
</context>
<context>
    <name>tarnwick::UpdateManager</name>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
</context>
</TS>
