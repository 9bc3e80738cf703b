<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>CEditGate</name>
    <message>
        <source>Code page %1 cannot hold %2; they would be stored as &apos;?&apos;.</source>
        <translation>Die Codepage %1 kann %2 nicht darstellen; sie würden als &apos;?&apos; gespeichert.</translation>
    </message>
    <message>
        <source>Correct the translation, or press OK again to keep it as it is.</source>
        <translation>Korrigieren Sie die Übersetzung oder klicken Sie erneut auf OK, um sie so zu übernehmen.</translation>
    </message>
</context>
<context>
    <name>DialogPreview</name>
    <message>
        <source>Owner-draw</source>
        <translation>Benutzerdefiniert gezeichnet</translation>
    </message>
</context>
<context>
    <name>ProjectChange</name>
    <message>
        <source>Edit Dictionary Entry</source>
        <translation>Wörterbucheintrag bearbeiten</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Import Glossary</source>
        <translation>Glossar importieren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Auto Translate</source>
        <translation>Automatisch übersetzen</translation>
    </message>
    <message>
        <source>Restore All</source>
        <translation>Alle wiederherstellen</translation>
    </message>
    <message>
        <source>Open Dictionary</source>
        <translation>Wörterbuch öffnen</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Target Path</source>
        <translation>Zieldateipfad</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Translate</source>
        <translation>Übersetzen</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Replace in Translations</source>
        <translation>In Übersetzungen ersetzen</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Save changes to %1?</source>
        <translation>Änderungen an %1 speichern?</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Translate the user interface of Windows modules.</source>
        <translation>Übersetzt die Benutzeroberfläche von Windows-Modulen.</translation>
    </message>
    <message>
        <source>Quillon project (.prj) to open; more projects open in windows of their own.</source>
        <translation>Zu öffnendes Quillon-Projekt (.prj); weitere Projekte öffnen sich in eigenen Fenstern.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CAutoTranslateDlg</name>
    <message>
        <source>Auto Translate</source>
        <translation>Automatisch übersetzen</translation>
    </message>
    <message>
        <source>Total Strings:</source>
        <translation>Zeichenfolgen gesamt:</translation>
    </message>
    <message>
        <source>Translated Strings:</source>
        <translation>Übersetzte Zeichenfolgen:</translation>
    </message>
    <message>
        <source>Not Translated Strings:</source>
        <translation>Nicht übersetzte Zeichenfolgen:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Not Translated</source>
        <translation>Nicht übersetzt</translation>
    </message>
    <message>
        <source>Use &amp;exact memory matches</source>
        <translation>&amp;Exakte Treffer des Übersetzungsspeichers verwenden</translation>
    </message>
    <message>
        <source>Use &amp;fuzzy memory matches at or above</source>
        <translation>&amp;Unscharfe Treffer des Übersetzungsspeichers verwenden ab</translation>
    </message>
    <message>
        <source>Fuzzy matches are marked as changed, for review</source>
        <translation>Unscharfe Treffer werden als geändert markiert, zur Durchsicht</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CChartWnd</name>
    <message>
        <source>They are the same ,  please input another name!
</source>
        <translation>Der Titel ist derselbe, bitte geben Sie einen anderen Namen ein!
</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CContentsModel</name>
    <message>
        <source>Resource</source>
        <translation>Ressource</translation>
    </message>
    <message>
        <source>Strings</source>
        <translation>Zeichenfolgen</translation>
    </message>
    <message>
        <source>String Table</source>
        <translation>Zeichenfolgentabelle</translation>
    </message>
    <message>
        <source>Menus</source>
        <translation>Menüs</translation>
    </message>
    <message>
        <source>Dialogs</source>
        <translation>Dialoge</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Read in part only:
%1</source>
        <translation>Nur teilweise gelesen:
%1</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CCustomization</name>
    <message>
        <source>&amp;Customize...</source>
        <translation>A&amp;npassen...</translation>
    </message>
    <message>
        <source>&amp;Tools</source>
        <translation>E&amp;xtras</translation>
    </message>
    <message>
        <source>&amp;Toolbars</source>
        <translation>S&amp;ymbolleisten</translation>
    </message>
    <message>
        <source>Change the toolbars, the keyboard shortcuts and the tools</source>
        <translation>Symbolleisten, Tastenkombinationen und Extras ändern</translation>
    </message>
    <message>
        <source>User Toolbar %1</source>
        <translation>Benutzer-Symbolleiste %1</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Extras</translation>
    </message>
    <message>
        <source>Could not start &quot;%1&quot;.</source>
        <translation>&quot;%1&quot; konnte nicht gestartet werden.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CCustomizeDialog</name>
    <message>
        <source>Customize</source>
        <translation>Anpassen</translation>
    </message>
    <message>
        <source>Toolbars</source>
        <translation>Symbolleisten</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Tools</source>
        <translation>Extras</translation>
    </message>
    <message>
        <source>Separator</source>
        <translation>Trennlinie</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CDialogPreviewDlg</name>
    <message>
        <source>The dialog template is damaged and cannot be shown.</source>
        <translation>Die Dialogvorlage ist beschädigt und kann nicht angezeigt werden.</translation>
    </message>
    <message>
        <source>Controls whose text does not fit:</source>
        <translation>Steuerelemente, deren Text nicht hineinpasst:</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CDictionaryEntryDlg</name>
    <message>
        <source>Edit Dictionary Entry</source>
        <translation>Wörterbucheintrag bearbeiten</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzung</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Zugriffstaste</translation>
    </message>
    <message>
        <source>A hotkey is one character that the code page writes in one byte.</source>
        <translation>Eine Zugriffstaste ist ein Zeichen, das die Codepage in einem Byte schreibt.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CDictionaryModel</name>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzung</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Zugriffstaste</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CDictonaryBar</name>
    <message>
        <source>Dictionary</source>
        <translation>Wörterbuch</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Sort</source>
        <translation>&amp;Sortieren</translation>
    </message>
    <message>
        <source>By Ty&amp;pe</source>
        <translation>Nach &amp;Typ</translation>
    </message>
    <message>
        <source>By &amp;Source</source>
        <translation>Nach &amp;Quelltext</translation>
    </message>
    <message>
        <source>By &amp;Translated</source>
        <translation>Nach &amp;Übersetzung</translation>
    </message>
    <message>
        <source>By S&amp;hortcut</source>
        <translation>Nach Zugriffs&amp;taste</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CFilterBar</name>
    <message>
        <source>Find in source and translation</source>
        <translation>In Quelltext und Übersetzung suchen</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>Groß-/&amp;Kleinschreibung</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>Ganzes W&amp;ort</translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulär&amp;er Ausdruck</translation>
    </message>
    <message>
        <source>Show:</source>
        <translation>Anzeigen:</translation>
    </message>
    <message>
        <source>Untrans&amp;lated</source>
        <translation>U&amp;nübersetzt</translation>
    </message>
    <message>
        <source>Tra&amp;nslated</source>
        <translation>Übersetz&amp;t</translation>
    </message>
    <message>
        <source>Chan&amp;ged</source>
        <translation>&amp;Geändert</translation>
    </message>
    <message>
        <source>With pro&amp;blems</source>
        <translation>Mit Prob&amp;lemen</translation>
    </message>
    <message>
        <source>Clear the filter and hide the bar (Esc)</source>
        <translation>Filter leeren und Leiste ausblenden (Esc)</translation>
    </message>
    <message>
        <source>The regular expression is not valid.</source>
        <translation>Der reguläre Ausdruck ist ungültig.</translation>
    </message>
    <message>
        <source>Confir&amp;med</source>
        <translation>Bestät&amp;igt</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CHistoryBar</name>
    <message>
        <source>History</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>&lt;project opened&gt;</source>
        <translation>&lt;Projekt geöffnet&gt;</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CImportGlossaryDlg</name>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Import Dictionary</source>
        <translation>Wörterbuch importieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Glossary:</source>
        <translation>Glossar:</translation>
    </message>
    <message>
        <source>Entries:</source>
        <translation>Einträge:</translation>
    </message>
    <message>
        <source>Imported:</source>
        <translation>Importiert:</translation>
    </message>
    <message>
        <source>Glossaries (*.txt *.csv *.tab);;All Files (*)</source>
        <translation>Glossare (*.txt *.csv *.tab);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Nothing imported: %1</source>
        <translation>Nichts importiert: %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message numerus="yes">
        <source>%n lines skipped (read as %1):</source>
        <translation>
            <numerusform>%n Zeile übersprungen (gelesen als %1):</numerusform>
            <numerusform>%n Zeilen übersprungen (gelesen als %1):</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>(and %n more skipped lines)</source>
        <translation>
            <numerusform>(und %n weitere übersprungene Zeile)</numerusform>
            <numerusform>(und %n weitere übersprungene Zeilen)</numerusform>
        </translation>
    </message>
    <message>
        <source>Import stopped: nothing was imported.</source>
        <translation>Import angehalten: nichts wurde importiert.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CItemPreview</name>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzung</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CKeyboardPage</name>
    <message>
        <source>&amp;Assign</source>
        <translation>&amp;Zuweisen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>Reset A&amp;ll</source>
        <translation>&amp;Alle zurücksetzen</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Tastenkombination</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>Press new shortcut:</source>
        <translation>Neue Tastenkombination drücken:</translation>
    </message>
    <message>
        <source>%1 is already the shortcut of &quot;%2&quot;.</source>
        <translation>%1 ist bereits die Tastenkombination von &quot;%2&quot;.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CMainFrame</name>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>&amp;New	Ctrl+N</source>
        <translation>&amp;Neu	Strg+N</translation>
    </message>
    <message>
        <source>Create a new project</source>
        <translation>Ein neues Projekt anlegen</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Öffnen...</translation>
    </message>
    <message>
        <source>Open an existing project</source>
        <translation>Ein vorhandenes Projekt öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save the project and its dictionary</source>
        <translation>Das Projekt und sein Wörterbuch speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>Save the project with a new name</source>
        <translation>Das Projekt unter einem neuen Namen speichern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quit Quillon</source>
        <translation>Quillon beenden</translation>
    </message>
    <message>
        <source>&amp;Update...</source>
        <translation>&amp;Aktualisieren...</translation>
    </message>
    <message>
        <source>Update the project to a new version of its module</source>
        <translation>Das Projekt auf eine neue Version seines Moduls aktualisieren</translation>
    </message>
    <message>
        <source>S&amp;ettings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>Show and change the project&apos;s settings</source>
        <translation>Die Einstellungen des Projekts anzeigen und ändern</translation>
    </message>
    <message>
        <source>S&amp;tatus</source>
        <translation>&amp;Status</translation>
    </message>
    <message>
        <source>Show how much of the project is translated</source>
        <translation>Anzeigen, wie viel des Projekts übersetzt ist</translation>
    </message>
    <message>
        <source>&amp;Translate</source>
        <translation>Ü&amp;bersetzen</translation>
    </message>
    <message>
        <source>Translate selected item</source>
        <translation>Den ausgewählten Eintrag übersetzen</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Give the selected item its source text back</source>
        <translation>Dem ausgewählten Eintrag seinen Quelltext zurückgeben</translation>
    </message>
    <message>
        <source>&amp;Auto Translate</source>
        <translation>&amp;Automatisch übersetzen</translation>
    </message>
    <message>
        <source>Translate all items with the current dictionary</source>
        <translation>Alle Einträge mit dem aktuellen Wörterbuch übersetzen</translation>
    </message>
    <message>
        <source>Re&amp;store All</source>
        <translation>Alle wieder&amp;herstellen</translation>
    </message>
    <message>
        <source>Restores all items to the original</source>
        <translation>Stellt für alle Einträge den Originaltext wieder her</translation>
    </message>
    <message>
        <source>&amp;Build Target</source>
        <translation>&amp;Zieldatei erstellen</translation>
    </message>
    <message>
        <source>Write the translated module</source>
        <translation>Das übersetzte Modul schreiben</translation>
    </message>
    <message>
        <source>Build Tar&amp;get As...</source>
        <translation>Zieldatei erstellen &amp;unter...</translation>
    </message>
    <message>
        <source>Write the translated module to a new target file</source>
        <translation>Das übersetzte Modul in eine neue Zieldatei schreiben</translation>
    </message>
    <message>
        <source>Open dictionary</source>
        <translation>Wörterbuch öffnen</translation>
    </message>
    <message>
        <source>Save dictionary</source>
        <translation>Wörterbuch speichern</translation>
    </message>
    <message>
        <source>Save the active dictionary with a new name</source>
        <translation>Das aktive Wörterbuch unter einem neuen Namen speichern</translation>
    </message>
    <message>
        <source>I&amp;mport Text Glossary...</source>
        <translation>&amp;Textglossar importieren...</translation>
    </message>
    <message>
        <source>Imports a text glossary into the dictionary</source>
        <translation>Importiert ein Textglossar in das Wörterbuch</translation>
    </message>
    <message>
        <source>&amp;Import Microsoft Glossary...</source>
        <translation>&amp;Microsoft-Glossar importieren...</translation>
    </message>
    <message>
        <source>Imports a Microsoft glossary into the dictionary</source>
        <translation>Importiert ein Microsoft-Glossar in das Wörterbuch</translation>
    </message>
    <message>
        <source>&amp;View Dialog</source>
        <translation>&amp;Dialog anzeigen</translation>
    </message>
    <message>
        <source>Show the selected dialog with its translated texts</source>
        <translation>Den ausgewählten Dialog mit seinen übersetzten Texten anzeigen</translation>
    </message>
    <message>
        <source>View &amp;Menu</source>
        <translation>&amp;Menü anzeigen</translation>
    </message>
    <message>
        <source>Show the selected menu with its translated texts and hotkeys</source>
        <translation>Das ausgewählte Menü mit seinen übersetzten Texten und Zugriffstasten anzeigen</translation>
    </message>
    <message>
        <source>&amp;About Quillon...</source>
        <translation>Ü&amp;ber Quillon...</translation>
    </message>
    <message>
        <source>Show the program&apos;s version</source>
        <translation>Die Version des Programms anzeigen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Recent &amp;Projects</source>
        <translation>Zuletzt geöffnete &amp;Projekte</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>&amp;Statusleiste</translation>
    </message>
    <message>
        <source>&amp;Output</source>
        <translation>&amp;Ausgabe</translation>
    </message>
    <message>
        <source>&amp;Dictionary</source>
        <translation>&amp;Wörterbuch</translation>
    </message>
    <message>
        <source>&amp;Problems</source>
        <translation>&amp;Probleme</translation>
    </message>
    <message>
        <source>&amp;Project</source>
        <translation>&amp;Projekt</translation>
    </message>
    <message>
        <source>T&amp;ranslate</source>
        <translation>Übe&amp;rsetzen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Standard Toolbar</source>
        <translation>Standard-Symbolleiste</translation>
    </message>
    <message>
        <source>the project</source>
        <translation>das Projekt</translation>
    </message>
    <message>
        <source>New project failed: %1</source>
        <translation>Neues Projekt fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warnung: %1</translation>
    </message>
    <message>
        <source>New Project</source>
        <translation>Neues Projekt</translation>
    </message>
    <message>
        <source>The project&apos;s dictionary cannot be read:
%1

Open the project without its dictionary? The dictionary file is left as it is.</source>
        <translation>Das Wörterbuch des Projekts kann nicht gelesen werden:
%1

Das Projekt ohne sein Wörterbuch öffnen? Die Wörterbuchdatei bleibt unverändert.</translation>
    </message>
    <message>
        <source>Cannot open %1:
%2</source>
        <translation>%1 kann nicht geöffnet werden:
%2</translation>
    </message>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>%1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>Another program changed %1 since Quillon opened or saved it.
Save over the changes?</source>
        <translation>Ein anderes Programm hat %1 geändert, seit Quillon die Datei geöffnet oder gespeichert hat.
Die Änderungen überschreiben?</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source>Save failed: %1</source>
        <translation>Speichern fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>Save Project As</source>
        <translation>Projekt speichern unter</translation>
    </message>
    <message>
        <source>Update from another version of the module?

Yes: choose the new module file.
No: read %1 again.</source>
        <translation>Aus einer anderen Version des Moduls aktualisieren?

Ja: die neue Moduldatei auswählen.
Nein: %1 erneut lesen.</translation>
    </message>
    <message>
        <source>New Version of the Module</source>
        <translation>Neue Version des Moduls</translation>
    </message>
    <message>
        <source>%1 cannot be read or holds no string tables, menus, dialogs or version resource; the project is unchanged.</source>
        <translation>%1 kann nicht gelesen werden oder enthält keine Zeichenfolgentabellen, Menüs, Dialoge oder Versionsressource; das Projekt bleibt unverändert.</translation>
    </message>
    <message>
        <source>Update from %1 failed</source>
        <translation>Aktualisierung aus %1 fehlgeschlagen</translation>
    </message>
    <message>
        <source>Updated from %1: nothing changed</source>
        <translation>Aus %1 aktualisiert: nichts geändert</translation>
    </message>
    <message>
        <source>Updated from %1: %2</source>
        <translation>Aus %1 aktualisiert: %2</translation>
    </message>
    <message>
        <source>Settings changed</source>
        <translation>Einstellungen geändert</translation>
    </message>
    <message>
        <source>Aborted</source>
        <translation>Abgebrochen</translation>
    </message>
    <message>
        <source>Restore every item to its source text? All translations of the project are lost.</source>
        <translation>Für jeden Eintrag den Quelltext wiederherstellen? Alle Übersetzungen des Projekts gehen verloren.</translation>
    </message>
    <message>
        <source>Build Target</source>
        <translation>Zieldatei erstellen</translation>
    </message>
    <message>
        <source>The target %1 cannot be written:
%2

Choose another target file.</source>
        <translation>Die Zieldatei %1 kann nicht geschrieben werden:
%2

Wählen Sie eine andere Zieldatei.</translation>
    </message>
    <message>
        <source>Build Target As</source>
        <translation>Zieldatei erstellen unter</translation>
    </message>
    <message>
        <source>Build refused: %1</source>
        <translation>Erstellen abgelehnt: %1</translation>
    </message>
    <message>
        <source>The target was not built:
%1</source>
        <translation>Die Zieldatei wurde nicht erstellt:
%1</translation>
    </message>
    <message>
        <source>The target was not built: %1

Update the project from the module now?</source>
        <translation>Die Zieldatei wurde nicht erstellt: %1

Das Projekt jetzt aus dem Modul aktualisieren?</translation>
    </message>
    <message>
        <source>The project now follows the module. Review the changes, then build the target again.</source>
        <translation>Das Projekt entspricht jetzt dem Modul. Prüfen Sie die Änderungen und erstellen Sie dann die Zieldatei erneut.</translation>
    </message>
    <message>
        <source>%1 cannot be the target:
%2</source>
        <translation>%1 kann nicht die Zieldatei sein:
%2</translation>
    </message>
    <message>
        <source>Target %1 refused: %2</source>
        <translation>Zieldatei %1 abgelehnt: %2</translation>
    </message>
    <message>
        <source>Build stopped: the checks found errors</source>
        <translation>Erstellung angehalten: Die Prüfungen haben Fehler gefunden</translation>
    </message>
    <message>
        <source>Build of %1 failed: %2</source>
        <translation>Erstellen von %1 fehlgeschlagen: %2</translation>
    </message>
    <message>
        <source>Built %1</source>
        <translation>%1 erstellt</translation>
    </message>
    <message>
        <source>Open Dictionary</source>
        <translation>Wörterbuch öffnen</translation>
    </message>
    <message>
        <source>Dictionary saved to %1</source>
        <translation>Wörterbuch in %1 gespeichert</translation>
    </message>
    <message>
        <source>Save Dictionary As</source>
        <translation>Wörterbuch speichern unter</translation>
    </message>
    <message>
        <source>About Quillon</source>
        <translation>Über Quillon</translation>
    </message>
    <message>
        <source>Quillon Version 1.0</source>
        <translation>Quillon Version 1.0</translation>
    </message>
    <message>
        <source>A workbench for translating the user interface of Windows modules.</source>
        <translation>Eine Werkbank zum Übersetzen der Benutzeroberfläche von Windows-Modulen.</translation>
    </message>
    <message>
        <source>Project Files (*.prj);;All Files (*)</source>
        <translation>Projektdateien (*.prj);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Dictionary Files (*.dic);;All Files (*)</source>
        <translation>Wörterbuchdateien (*.dic);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Executable Files (*.dll *.exe);;All Files (*)</source>
        <translation>Ausführbare Dateien (*.dll *.exe);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen...</translation>
    </message>
    <message>
        <source>Filter the item list by text and state</source>
        <translation>Die Liste der Einträge nach Text und Zustand filtern</translation>
    </message>
    <message>
        <source>&amp;Flat View</source>
        <translation>&amp;Flache Liste</translation>
    </message>
    <message>
        <source>List every item of the project with its resource</source>
        <translation>Alle Einträge des Projekts mit ihrer Ressource auflisten</translation>
    </message>
    <message>
        <source>Next &amp;Untranslated</source>
        <translation>Nächster unübersetzter &amp;Eintrag</translation>
    </message>
    <message>
        <source>Select the next item that is not translated</source>
        <translation>Den nächsten nicht übersetzten Eintrag auswählen</translation>
    </message>
    <message>
        <source>Next &amp;Problem</source>
        <translation>Nächstes &amp;Problem</translation>
    </message>
    <message>
        <source>Select the next item the checks find an error or warning in</source>
        <translation>Den nächsten Eintrag auswählen, in dem die Prüfungen einen Fehler oder eine Warnung finden</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Rückgängig gemacht: %1</translation>
    </message>
    <message>
        <source>%1: %2 items</source>
        <translation>%1: %2 Einträge</translation>
    </message>
    <message>
        <source>%1: %2 &quot;%3&quot;</source>
        <translation>%1: %2 „%3“</translation>
    </message>
    <message>
        <source>No other item found</source>
        <translation>Kein weiterer Eintrag gefunden</translation>
    </message>
    <message>
        <source>E&amp;xport Translations...</source>
        <translation>Übersetzungen e&amp;xportieren...</translation>
    </message>
    <message>
        <source>Write the project&apos;s texts to an XLIFF or PO file for another tool</source>
        <translation>Die Texte des Projekts für ein anderes Programm in eine XLIFF- oder PO-Datei schreiben</translation>
    </message>
    <message>
        <source>I&amp;mport Translations...</source>
        <translation>Übersetzungen i&amp;mportieren...</translation>
    </message>
    <message>
        <source>Take the translations of an XLIFF or PO file into the project</source>
        <translation>Die Übersetzungen einer XLIFF- oder PO-Datei ins Projekt übernehmen</translation>
    </message>
    <message>
        <source>Translate every item with a longer, accented text to find what gets cut off</source>
        <translation>Jeden Eintrag mit einem längeren Text mit Akzenten übersetzen, um zu finden, was abgeschnitten wird</translation>
    </message>
    <message>
        <source>XLIFF Files (*.xlf *.xliff);;PO Files (*.po);;All Files (*)</source>
        <translation>XLIFF-Dateien (*.xlf *.xliff);;PO-Dateien (*.po);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export Translations</source>
        <translation>Übersetzungen exportieren</translation>
    </message>
    <message>
        <source>%1 left out: its text has a control character the format cannot carry</source>
        <translation>%1 ausgelassen: sein Text enthält ein Steuerzeichen, das das Format nicht aufnehmen kann</translation>
    </message>
    <message>
        <source>Import Translations</source>
        <translation>Übersetzungen importieren</translation>
    </message>
    <message>
        <source>Cannot import %1:
%2</source>
        <translation>%1 kann nicht importiert werden:
%2</translation>
    </message>
    <message>
        <source>Imported %1: %2 translated, %3 to review, %4 taken back, %5 unchanged, %6 refused</source>
        <translation>%1 importiert: %2 übersetzt, %3 zu prüfen, %4 zurückgenommen, %5 unverändert, %6 abgelehnt</translation>
    </message>
    <message>
        <source>Ps&amp;eudo-Translate</source>
        <translation>Pseud&amp;oübersetzung</translation>
    </message>
    <message>
        <source>Re&amp;place...</source>
        <translation>&amp;Ersetzen...</translation>
    </message>
    <message>
        <source>Find and replace a text in the translations</source>
        <translation>Einen Text in den Übersetzungen suchen und ersetzen</translation>
    </message>
    <message>
        <source>&amp;History</source>
        <translation>Verlau&amp;f</translation>
    </message>
    <message>
        <source>Show every change since the project was opened; click one to go back to it</source>
        <translation>Jede Änderung seit dem Öffnen des Projekts anzeigen; ein Klick auf eine kehrt zu ihr zurück</translation>
    </message>
    <message>
        <source>S&amp;uggestions</source>
        <translation>&amp;Vorschläge</translation>
    </message>
    <message numerus="yes">
        <source>%1 of %n items translated</source>
        <translation>
            <numerusform>%1 von %n Eintrag übersetzt</numerusform>
            <numerusform>%1 von %n Einträgen übersetzt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n strings</source>
        <translation>
            <numerusform>%n Zeichenfolge</numerusform>
            <numerusform>%n Zeichenfolgen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n menu items</source>
        <translation>
            <numerusform>%n Menüeintrag</numerusform>
            <numerusform>%n Menüeinträge</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n dialogs</source>
        <translation>
            <numerusform>%n Dialog</numerusform>
            <numerusform>%n Dialoge</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n controls</source>
        <translation>
            <numerusform>%n Steuerelement</numerusform>
            <numerusform>%n Steuerelemente</numerusform>
        </translation>
    </message>
    <message>
        <source>Created %1 from %2: %3 (not saved yet)</source>
        <translation>%1 aus %2 erstellt: %3 (noch nicht gespeichert)</translation>
    </message>
    <message numerus="yes">
        <source>Opened %1 (%n dictionary entries)</source>
        <translation>
            <numerusform>%1 geöffnet (%n Wörterbucheintrag)</numerusform>
            <numerusform>%1 geöffnet (%n Wörterbucheinträge)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Auto Translate: %1 of %n items translated, %2 left. %3</source>
        <translation>
            <numerusform>Automatisch übersetzen: %1 von %n Eintrag übersetzt, %2 übrig. %3</numerusform>
            <numerusform>Automatisch übersetzen: %1 von %n Einträgen übersetzt, %2 übrig. %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Auto Translate: %n translations from the memory, %1 of them marked to review</source>
        <translation>
            <numerusform>Automatisch übersetzen: %n Übersetzung aus dem Übersetzungsspeicher; zur Durchsicht markiert: %1</numerusform>
            <numerusform>Automatisch übersetzen: %n Übersetzungen aus dem Übersetzungsspeicher, davon %1 zur Durchsicht markiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored %n items</source>
        <translation>
            <numerusform>%n Eintrag wiederhergestellt</numerusform>
            <numerusform>%n Einträge wiederhergestellt</numerusform>
        </translation>
    </message>
    <message>
        <source>Checks: %1, %2</source>
        <translation>Prüfungen: %1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n errors</source>
        <translation>
            <numerusform>%n Fehler</numerusform>
            <numerusform>%n Fehler</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n warnings</source>
        <translation>
            <numerusform>%n Warnung</numerusform>
            <numerusform>%n Warnungen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The checks found %n errors that the target would ship, for example:

%1: %2

The Problems list shows them all. Build the target anyway?</source>
        <translation>
            <numerusform>Die Prüfungen haben %n Fehler gefunden, der in die Zieldatei gelangen würde:

%1: %2

Die Problemliste zeigt ihn. Die Zieldatei trotzdem erstellen?</numerusform>
            <numerusform>Die Prüfungen haben %n Fehler gefunden, die in die Zieldatei gelangen würden, zum Beispiel:

%1: %2

Die Problemliste zeigt sie alle. Die Zieldatei trotzdem erstellen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Building despite %n errors, as confirmed</source>
        <translation>
            <numerusform>Erstellung trotz %n Fehler wie bestätigt</numerusform>
            <numerusform>Erstellung trotz %n Fehlern wie bestätigt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Dictionary %1 opened (%n entries)</source>
        <translation>
            <numerusform>Wörterbuch %1 geöffnet (%n Eintrag)</numerusform>
            <numerusform>Wörterbuch %1 geöffnet (%n Einträge)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Glossary imported: %n entries, %1 imported, %2 already in the dictionary, %3</source>
        <translation>
            <numerusform>Glossar importiert: %n Eintrag, %1 importiert, %2 bereits im Wörterbuch, %3</numerusform>
            <numerusform>Glossar importiert: %n Einträge, %1 importiert, %2 bereits im Wörterbuch, %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines left out</source>
        <translation>
            <numerusform>%n Zeile ausgelassen</numerusform>
            <numerusform>%n Zeilen ausgelassen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Exported %n units to %1</source>
        <translation>
            <numerusform>%n Einheit nach %1 exportiert</numerusform>
            <numerusform>%n Einheiten nach %1 exportiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Pseudo-translated %n items, 30% longer, accented and in brackets</source>
        <translation>
            <numerusform>%n Eintrag pseudoübersetzt: 30 % länger, mit Akzenten und in Klammern</numerusform>
            <numerusform>%n Einträge pseudoübersetzt: 30 % länger, mit Akzenten und in Klammern</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 could be read only in part:
%2

%3 items would go away and %4 change, with their translations. Update anyway?</source>
        <translation>%1 konnte nur zum Teil gelesen werden:
%2

%3 Einträge würden wegfallen und %4 sich ändern, samt ihren Übersetzungen. Trotzdem aktualisieren?</translation>
    </message>
    <message>
        <source>Update from %1 not made: the module could be read only in part</source>
        <translation>Aktualisierung von %1 nicht ausgeführt: das Modul konnte nur zum Teil gelesen werden</translation>
    </message>
    <message numerus="yes">
        <source>Pseudo-translation replaces the %n translations of the project (Undo takes them back). Go on?</source>
        <translation>
            <numerusform>Die Pseudoübersetzung ersetzt %n Übersetzung des Projekts (Rückgängig holt sie zurück). Fortfahren?</numerusform>
            <numerusform>Die Pseudoübersetzung ersetzt die %n Übersetzungen des Projekts (Rückgängig holt sie zurück). Fortfahren?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CMemoryService</name>
    <message>
        <source>Translation memory: %1</source>
        <translation>Übersetzungsspeicher: %1</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CMenuPreviewDlg</name>
    <message>
        <source>Menu %1</source>
        <translation>Menü %1</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Menüleiste</translation>
    </message>
    <message>
        <source>Open the menus to see their entries.</source>
        <translation>Öffnen Sie die Menüs, um ihre Einträge zu sehen.</translation>
    </message>
    <message>
        <source>Hotkeys used more than once on one level:</source>
        <translation>Mehrfach verwendete Zugriffstasten auf einer Ebene:</translation>
    </message>
    <message>
        <source>Level &quot;%1&quot;: hotkey %2 used by %3</source>
        <translation>Ebene &quot;%1&quot;: Zugriffstaste %2 verwendet von %3</translation>
    </message>
    <message>
        <source>Click an entry with an arrow to open its submenu.</source>
        <translation>Klicken Sie auf einen Eintrag mit Pfeil, um sein Untermenü zu öffnen.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CMultiThreadDialog</name>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CNewProjectDlg</name>
    <message>
        <source>New Project</source>
        <translation>Neues Projekt</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Project File</source>
        <translation>Projektdatei</translation>
    </message>
    <message>
        <source>Translate File</source>
        <translation>Zu übersetzende Datei</translation>
    </message>
    <message>
        <source>Dictionary File</source>
        <translation>Wörterbuchdatei</translation>
    </message>
    <message>
        <source>Target File</source>
        <translation>Zieldatei</translation>
    </message>
    <message>
        <source>Translator:</source>
        <translation>Übersetzer:</translation>
    </message>
    <message>
        <source>E-Mail:</source>
        <translation>E-Mail:</translation>
    </message>
    <message>
        <source>Target Language:</source>
        <translation>Zielsprache:</translation>
    </message>
    <message>
        <source>Source Language:</source>
        <translation>Quellsprache:</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Project Files (*.prj);;All Files (*)</source>
        <translation>Projektdateien (*.prj);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Executable Files (*.dll *.exe);;All Files (*)</source>
        <translation>Ausführbare Dateien (*.dll *.exe);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Dictionary Files (*.dic)</source>
        <translation>Wörterbuchdateien (*.dic)</translation>
    </message>
    <message>
        <source>You need to enter Name for the Project File.</source>
        <translation>Sie müssen einen Namen für die Projektdatei eingeben.</translation>
    </message>
    <message>
        <source>You need to enter a valid Path for the File to Translate.</source>
        <translation>Sie müssen einen gültigen Pfad für die zu übersetzende Datei eingeben.</translation>
    </message>
    <message>
        <source>You need to enter the Translators Name.</source>
        <translation>Sie müssen den Namen des Übersetzers eingeben.</translation>
    </message>
    <message>
        <source>You need to select the target language.</source>
        <translation>Sie müssen die Zielsprache auswählen.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 ist bereits vorhanden.
Möchten Sie die Datei ersetzen?</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CNotTranslatedModel</name>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Zugriffstaste</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzung</translation>
    </message>
</context>
<context>
    <name>quillon::gui::COutputBar</name>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>Click to show %1</source>
        <translation>Klicken, um %1 anzuzeigen</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more lines; the command line lists them all</source>
        <translation>
            <numerusform>... und %n weitere Zeile; die Kommandozeile nennt alle</numerusform>
            <numerusform>... und %n weitere Zeilen; die Kommandozeile nennt alle</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more lines; the Output window lists them all</source>
        <translation>
            <numerusform>... und %n weitere Zeile; das Ausgabefenster nennt alle</numerusform>
            <numerusform>... und %n weitere Zeilen; das Ausgabefenster nennt alle</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CProblemsBar</name>
    <message>
        <source>Problems</source>
        <translation>Probleme</translation>
    </message>
    <message>
        <source>Show &amp;untranslated items</source>
        <translation>&amp;Unübersetzte Einträge anzeigen</translation>
    </message>
    <message>
        <source>Severity</source>
        <translation>Schweregrad</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Prüfung</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>Message</source>
        <translation>Meldung</translation>
    </message>
    <message>
        <source>No project</source>
        <translation>Kein Projekt</translation>
    </message>
    <message>
        <source>Errors: %1   Warnings: %2</source>
        <translation>Fehler: %1   Warnungen: %2</translation>
    </message>
    <message>
        <source> (the first %1 shown)</source>
        <translation> (die ersten %1 angezeigt)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warnung</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>Hinweis</translation>
    </message>
    <message>
        <source>Check &amp;spelling</source>
        <translation>&amp;Rechtschreibung prüfen</translation>
    </message>
    <message>
        <source>Problems (%1)</source>
        <translation>Probleme (%1)</translation>
    </message>
    <message>
        <source>&amp;Problems</source>
        <translation>&amp;Probleme</translation>
    </message>
    <message>
        <source>   Notes: %1</source>
        <translation>   Hinweise: %1</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CReplaceDialog</name>
    <message>
        <source>Left out: characters the project&apos;s code page cannot hold</source>
        <translation>Ausgelassen: Zeichen, die die Codepage des Projekts nicht enthalten kann</translation>
    </message>
    <message>
        <source>Left out: nothing would be left</source>
        <translation>Ausgelassen: Es bliebe nichts übrig</translation>
    </message>
    <message>
        <source>Replace in Translations</source>
        <translation>In Übersetzungen ersetzen</translation>
    </message>
    <message>
        <source>\n, \t and \\ as in the list; $1 for a group of a regular expression</source>
        <translation>\n, \t und \\ wie in der Liste; $1 für eine Gruppe eines regulären Ausdrucks</translation>
    </message>
    <message>
        <source>S&amp;earch for:</source>
        <translation>&amp;Suchen nach:</translation>
    </message>
    <message>
        <source>Re&amp;place with:</source>
        <translation>Ersetzen &amp;durch:</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>Groß-/&amp;Kleinschreibung</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>Ganzes W&amp;ort</translation>
    </message>
    <message>
        <source>Regular e&amp;xpression</source>
        <translation>Regulär&amp;er Ausdruck</translation>
    </message>
    <message>
        <source>Whole pro&amp;ject</source>
        <translation>Ganzes &amp;Projekt</translation>
    </message>
    <message>
        <source>Selected resource</source>
        <translation>Ausgewählte Ressource</translation>
    </message>
    <message>
        <source>Item</source>
        <translation>Eintrag</translation>
    </message>
    <message>
        <source>Before</source>
        <translation>Vorher</translation>
    </message>
    <message>
        <source>After</source>
        <translation>Nachher</translation>
    </message>
    <message>
        <source>Checks</source>
        <translation>Prüfungen</translation>
    </message>
    <message>
        <source>&amp;Find</source>
        <translation>&amp;Finden</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>E&amp;rsetzen</translation>
    </message>
    <message>
        <source>&amp;Selected resource (%1)</source>
        <translation>&amp;Ausgewählte Ressource (%1)</translation>
    </message>
    <message>
        <source>&amp;Selected resource</source>
        <translation>&amp;Ausgewählte Ressource</translation>
    </message>
    <message>
        <source>Cannot search: %1 (at %2)</source>
        <translation>Suche nicht möglich: %1 (an Stelle %2)</translation>
    </message>
    <message>
        <source>Not found.</source>
        <translation>Nicht gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>Found in %n items.</source>
        <translation>
            <numerusform>In %n Eintrag gefunden.</numerusform>
            <numerusform>In %n Einträgen gefunden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replaced in %n items.</source>
        <translation>
            <numerusform>In %n Eintrag ersetzt.</numerusform>
            <numerusform>In %n Einträgen ersetzt.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CSettingsDlg</name>
    <message>
        <source>Target File</source>
        <translation>Zieldatei</translation>
    </message>
    <message>
        <source>Executable Files (*.dll *.exe);;All Files (*)</source>
        <translation>Ausführbare Dateien (*.dll *.exe);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Changing the target language also changes the language written into the version resource and the code page of the project&apos;s texts. Change it?</source>
        <translation>Eine andere Zielsprache ändert auch die Sprache, die in die Versionsressource geschrieben wird, und die Codepage der Texte des Projekts. Ändern?</translation>
    </message>
    <message>
        <source>Cannot read the dictionary %1:
%2</source>
        <translation>Das Wörterbuch %1 kann nicht gelesen werden:
%2</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CStatusDlg</name>
    <message>
        <source>Translation Status</source>
        <translation>Übersetzungsstatus</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzt</translation>
    </message>
    <message>
        <source>Strings</source>
        <translation>Zeichenfolgen</translation>
    </message>
    <message>
        <source>Menus</source>
        <translation>Menüs</translation>
    </message>
    <message>
        <source>Dialogs</source>
        <translation>Dialoge</translation>
    </message>
    <message>
        <source>Items</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <source>Untranslated</source>
        <translation>Nicht übersetzt</translation>
    </message>
    <message>
        <source>Not translatable</source>
        <translation>Nicht übersetzbar</translation>
    </message>
    <message>
        <source>Changed</source>
        <translation>Geändert</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Progress: translated share of each kind</source>
        <translation>Fortschritt: übersetzter Anteil jeder Art</translation>
    </message>
    <message>
        <source>Share of the project: each kind&apos;s part of all items</source>
        <translation>Anteil am Projekt: jede Art an allen Einträgen</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CStringListModel</name>
    <message>
        <source>Popup Menu</source>
        <translation>Popup-Menü</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Changed by the last update: translate, confirm or restore it</source>
        <translation>Durch die letzte Aktualisierung geändert: übersetzen, bestätigen oder wiederherstellen</translation>
    </message>
    <message>
        <source>
Before: &quot;%1&quot;, not translated</source>
        <translation>
Vorher: &quot;%1&quot;, nicht übersetzt</translation>
    </message>
    <message>
        <source>
Before: &quot;%1&quot;, translated &quot;%2&quot;</source>
        <translation>
Vorher: &quot;%1&quot;, übersetzt &quot;%2&quot;</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzt</translation>
    </message>
    <message>
        <source>Not translated yet</source>
        <translation>Noch nicht übersetzt</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Zugriffstaste</translation>
    </message>
    <message>
        <source>Resource</source>
        <translation>Ressource</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CSuggestionList</name>
    <message>
        <source>before the last update</source>
        <translation>vor der letzten Aktualisierung</translation>
    </message>
    <message>
        <source>No suggestions</source>
        <translation>Keine Vorschläge</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CSuggestionsBar</name>
    <message>
        <source>Suggestions</source>
        <translation>Vorschläge</translation>
    </message>
    <message>
        <source>Show matches of at least:</source>
        <translation>Treffer zeigen ab:</translation>
    </message>
    <message>
        <source>Use Suggestion %1</source>
        <translation>Vorschlag %1 verwenden</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CToolBarsPage</name>
    <message>
        <source>&amp;New...</source>
        <translation>&amp;Neu...</translation>
    </message>
    <message>
        <source>&amp;Rename...</source>
        <translation>&amp;Umbenennen...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>R&amp;eset</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>&amp;Add &gt;</source>
        <translation>&amp;Hinzufügen &gt;</translation>
    </message>
    <message>
        <source>&lt; Re&amp;move</source>
        <translation>&lt; &amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation>Nach un&amp;ten</translation>
    </message>
    <message>
        <source>Toolbars (checked ones are shown):</source>
        <translation>Symbolleisten (markierte werden angezeigt):</translation>
    </message>
    <message>
        <source>Commands:</source>
        <translation>Befehle:</translation>
    </message>
    <message>
        <source>Buttons of the selected toolbar:</source>
        <translation>Schaltflächen der ausgewählten Symbolleiste:</translation>
    </message>
    <message>
        <source>User Toolbar %1</source>
        <translation>Benutzer-Symbolleiste %1</translation>
    </message>
    <message>
        <source>Toolbar name:</source>
        <translation>Name der Symbolleiste:</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CToolsPage</name>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Entfernen</translation>
    </message>
    <message>
        <source>&amp;Up</source>
        <translation>Nach &amp;oben</translation>
    </message>
    <message>
        <source>Do&amp;wn</source>
        <translation>Nach un&amp;ten</translation>
    </message>
    <message>
        <source>Tools (at most %1):</source>
        <translation>Extras (höchstens %1):</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Variables in the arguments:
$(ProjectPath)  the project file
$(ModulePath)  the module being translated
$(TargetPath)  the translated module that Build Target writes
A variable without a value is left out.</source>
        <translation>Variablen in den Argumenten:
$(ProjectPath)  die Projektdatei
$(ModulePath)  das zu übersetzende Modul
$(TargetPath)  das übersetzte Modul, das „Zieldatei erstellen“ schreibt
Eine Variable ohne Wert wird ausgelassen.</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Command:</source>
        <translation>&amp;Befehl:</translation>
    </message>
    <message>
        <source>A&amp;rguments:</source>
        <translation>&amp;Argumente:</translation>
    </message>
    <message>
        <source>Initial &amp;folder:</source>
        <translation>&amp;Startordner:</translation>
    </message>
    <message>
        <source>New Tool</source>
        <translation>Neues Extra</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Initial Folder</source>
        <translation>Startordner</translation>
    </message>
    <message>
        <source>Every tool needs a name.</source>
        <translation>Jedes Extra braucht einen Namen.</translation>
    </message>
    <message>
        <source>The tool &quot;%1&quot; has no command.</source>
        <translation>Das Extra &quot;%1&quot; hat keinen Befehl.</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CTranslateDlg</name>
    <message>
        <source>Before the last update:</source>
        <translation>Vor der letzten Aktualisierung:</translation>
    </message>
    <message>
        <source>Translate</source>
        <translation>Übersetzen</translation>
    </message>
    <message>
        <source>This String exists on the dictionary
would you replace it?</source>
        <translation>Diese Zeichenfolge ist bereits im Wörterbuch vorhanden.
Möchten Sie sie ersetzen?</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Quelltext</translation>
    </message>
    <message>
        <source>Hotkey</source>
        <translation>Zugriffstaste</translation>
    </message>
    <message>
        <source>Translated</source>
        <translation>Übersetzung</translation>
    </message>
    <message>
        <source>Source:</source>
        <translation>Quelltext:</translation>
    </message>
    <message>
        <source>Translated:</source>
        <translation>Übersetzung:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>Zum Wörterbuch hinzufügen</translation>
    </message>
    <message>
        <source>Search Dictionary</source>
        <translation>Im Wörterbuch suchen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>(not translated)</source>
        <translation>(nicht übersetzt)</translation>
    </message>
    <message>
        <source>A hotkey is one character that the code page writes in one byte.</source>
        <translation>Eine Zugriffstaste ist ein Zeichen, das die Codepage in einem Byte schreibt.</translation>
    </message>
    <message>
        <source>The dictionary cannot take this entry.</source>
        <translation>Das Wörterbuch kann diesen Eintrag nicht aufnehmen.</translation>
    </message>
    <message>
        <source>&amp;Previous</source>
        <translation>&amp;Zurück</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Weiter</translation>
    </message>
    <message>
        <source>&amp;Copy Source</source>
        <translation>Quelltext &amp;kopieren</translation>
    </message>
    <message>
        <source>Apply the translation (Ctrl+Enter)</source>
        <translation>Übersetzung übernehmen (Strg+Eingabe)</translation>
    </message>
    <message>
        <source>Kind: %1   ID: %2</source>
        <translation>Art: %1   ID: %2</translation>
    </message>
    <message>
        <source>Address: %1   Kind: %2   ID: %3</source>
        <translation>Adresse: %1   Art: %2   ID: %3</translation>
    </message>
    <message>
        <source>In: %1</source>
        <translation>Enthalten in: %1</translation>
    </message>
</context>
<context>
    <name>quillon::gui::CUpdateReportDlg</name>
    <message>
        <source>lost: %1</source>
        <translation>verloren: %1</translation>
    </message>
    <message>
        <source>kept: %1</source>
        <translation>behalten: %1</translation>
    </message>
    <message>
        <source>%1 (from %2)</source>
        <translation>%1 (aus %2)</translation>
    </message>
    <message>
        <source>added</source>
        <translation>hinzugefügt</translation>
    </message>
    <message>
        <source>removed</source>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>geändert</translation>
    </message>
    <message>
        <source>moved</source>
        <translation>verschoben</translation>
    </message>
    <message>
        <source>reused</source>
        <translation>wiederverwendet</translation>
    </message>
    <message>
        <source>%1 changed, %2 added, %3 removed, %4 moved, %5 reused; %6 kept, %7 rebuilt</source>
        <translation>%1 geändert, %2 hinzugefügt, %3 entfernt, %4 verschoben, %5 wiederverwendet; %6 behalten, %7 neu aufgebaut</translation>
    </message>
    <message>
        <source>the module also changed in ways the list does not name (order, menu options, hotkeys, version values or file version)</source>
        <translation>das Modul hat sich auch auf Weisen geändert, die die Liste nicht nennt (Reihenfolge, Menüoptionen, Zugriffstasten, Versionswerte oder Dateiversion)</translation>
    </message>
    <message>
        <source>Update Report</source>
        <translation>Aktualisierungsbericht</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Änderung</translation>
    </message>
    <message>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
    <message>
        <source>Old Text</source>
        <translation>Alter Text</translation>
    </message>
    <message>
        <source>New Text</source>
        <translation>Neuer Text</translation>
    </message>
    <message>
        <source>Translation</source>
        <translation>Übersetzung</translation>
    </message>
    <message numerus="yes">
        <source>%n dialogs</source>
        <translation>
            <numerusform>%n Dialog</numerusform>
            <numerusform>%n Dialoge</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n translations lost</source>
        <translation>
            <numerusform>%n Übersetzung verloren</numerusform>
            <numerusform>%n Übersetzungen verloren</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::ModulePreview</name>
    <message>
        <source>Description:</source>
        <translation>Beschreibung:</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Sprache:</translation>
    </message>
    <message>
        <source>Strings:</source>
        <translation>Zeichenfolgen:</translation>
    </message>
    <message>
        <source>Menu items:</source>
        <translation>Menüeinträge:</translation>
    </message>
    <message>
        <source>Dialogs:</source>
        <translation>Dialoge:</translation>
    </message>
    <message>
        <source>Controls:</source>
        <translation>Steuerelemente:</translation>
    </message>
    <message>
        <source>This module has no resources.</source>
        <translation>Dieses Modul hat keine Ressourcen.</translation>
    </message>
</context>
</TS>
