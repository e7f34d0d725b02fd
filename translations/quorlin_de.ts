<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AppIconView</name>
    <message>
        <source>Delete %1</source>
        <extracomment>A screen reader&apos;s name for the badge; %1 is the application&apos;s name.</extracomment>
        <translation>%1 löschen</translation>
    </message>
</context>
<context>
    <name>AppPickerView</name>
    <message>
        <source>Search apps...</source>
        <translation>Apps suchen …</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Print the launcher&apos;s applications, one per line as name&lt;TAB&gt;identifier&lt;TAB&gt;path in display order, and exit.</source>
        <translation>Die Anwendungen des Launchers ausgeben, eine pro Zeile als Name&lt;TAB&gt;Kennung&lt;TAB&gt;Pfad in der angezeigten Reihenfolge, und beenden.</translation>
    </message>
    <message>
        <source>Look for application bundles in &lt;dir&gt;/Applications, &lt;dir&gt;/System/Applications and &lt;dir&gt;/System/Applications/Utilities instead of the same folders at the file-system root. Desktop entries and settings still follow the XDG variables.</source>
        <translation>Anwendungspakete in &lt;Ordner&gt;/Applications, &lt;Ordner&gt;/System/Applications und &lt;Ordner&gt;/System/Applications/Utilities suchen statt in denselben Ordnern im Wurzelverzeichnis. Desktop-Einträge und Einstellungen folgen weiterhin den XDG-Variablen.</translation>
    </message>
    <message>
        <source>dir</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>--root: %1 is not a folder</source>
        <translation>--root: %1 ist kein Ordner</translation>
    </message>
    <message>
        <source>Show or hide the running launcher (starts it when none runs).</source>
        <translation>Den laufenden Launcher zeigen oder ausblenden (startet ihn, wenn keiner läuft).</translation>
    </message>
    <message>
        <source>Start resident and hidden; F4 or --toggle shows the launcher.</source>
        <translation>Im Hintergrund und verborgen starten; F4 oder --toggle zeigt den Launcher.</translation>
    </message>
    <message>
        <source>Render the launcher to a PNG file and exit; works without a display.</source>
        <translation>Den Launcher in eine PNG-Datei zeichnen und beenden; geht auch ohne Bildschirm.</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Full-screen application launcher.</source>
        <translation>Anwendungsstarter im Vollbild.</translation>
    </message>
    <message>
        <source>With --list-apps, print the applications hidden from the launcher instead, by name.</source>
        <translation>Mit --list-apps stattdessen die im Starter ausgeblendeten Anwendungen ausgeben, nach Namen.</translation>
    </message>
</context>
<context>
    <name>ContentView</name>
    <message>
        <source>Hidden Apps</source>
        <translation>Ausgeblendete Apps</translation>
    </message>
</context>
<context>
    <name>DeleteAlert</name>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>FileRevealer</name>
    <message>
        <source>Show in File Manager</source>
        <translation>Im Dateimanager zeigen</translation>
    </message>
    <message>
        <source>Show in %1</source>
        <extracomment>%1 is the file manager&apos;s name, e.g. Files or Dolphin.</extracomment>
        <translation>In %1 zeigen</translation>
    </message>
</context>
<context>
    <name>FolderContentView</name>
    <message>
        <source>Folder Name</source>
        <translation>Ordnername</translation>
    </message>
    <message>
        <source>Close Folder</source>
        <translation>Ordner schließen</translation>
    </message>
    <message>
        <source>Add Applications</source>
        <translation>Anwendungen hinzufügen</translation>
    </message>
    <message>
        <source>Remove from Folder</source>
        <translation>Aus dem Ordner entfernen</translation>
    </message>
    <message>
        <source>Hide App</source>
        <translation>App ausblenden</translation>
    </message>
    <message>
        <source>Rename Folder</source>
        <translation>Ordner umbenennen</translation>
    </message>
</context>
<context>
    <name>FolderIconView</name>
    <message>
        <source>Rename Folder</source>
        <translation>Ordner umbenennen</translation>
    </message>
    <message>
        <source>Delete Folder</source>
        <translation>Ordner löschen</translation>
    </message>
</context>
<context>
    <name>FolderNameSuggestion</name>
    <message>
        <source>Productivity</source>
        <translation>Produktivität</translation>
    </message>
    <message>
        <source>Web</source>
        <translation>Web</translation>
    </message>
    <message>
        <source>Development</source>
        <translation>Entwicklung</translation>
    </message>
    <message>
        <source>Design</source>
        <translation>Design</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>Show or hide the launcher</source>
        <translation>Launcher zeigen oder ausblenden</translation>
    </message>
</context>
<context>
    <name>GridView</name>
    <message>
        <source>Hide App</source>
        <translation>App ausblenden</translation>
    </message>
    <message>
        <source>Delete App</source>
        <translation>App löschen</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Discovering applications...</source>
        <translation>Anwendungen werden gesucht …</translation>
    </message>
    <message>
        <source>No applications found</source>
        <translation>Keine Anwendungen gefunden</translation>
    </message>
    <message>
        <source>No results for &apos;%1&apos;</source>
        <extracomment>%1 is the search text as typed.</extracomment>
        <translation>Keine Ergebnisse für „%1“</translation>
    </message>
    <message>
        <source>Delete Application</source>
        <translation>Anwendung löschen</translation>
    </message>
    <message>
        <source>Are you sure you want to move %1 to the Trash? This action cannot be undone.</source>
        <extracomment>%1 is the application&apos;s name.</extracomment>
        <translation>Möchten Sie %1 wirklich in den Papierkorb legen? Dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <source>Could not open %1</source>
        <extracomment>%1 is the application&apos;s name.</extracomment>
        <translation>%1 konnte nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>PagedGridView</name>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
</context>
<context>
    <name>SearchBar</name>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Clear Search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
</TS>
