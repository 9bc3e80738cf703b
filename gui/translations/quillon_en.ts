<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>quillon::gui::CImportGlossaryDlg</name>
    <message numerus="yes">
        <source>%n lines skipped (read as %1):</source>
        <translation>
            <numerusform>%n line skipped (read as %1):</numerusform>
            <numerusform>%n lines skipped (read as %1):</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>(and %n more skipped lines)</source>
        <translation>
            <numerusform>(and %n more skipped line)</numerusform>
            <numerusform>(and %n more skipped lines)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CMainFrame</name>
    <message numerus="yes">
        <source>%1 of %n items translated</source>
        <translation>
            <numerusform>%1 of %n item translated</numerusform>
            <numerusform>%1 of %n items translated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n strings</source>
        <translation>
            <numerusform>%n string</numerusform>
            <numerusform>%n strings</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n menu items</source>
        <translation>
            <numerusform>%n menu item</numerusform>
            <numerusform>%n menu items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n dialogs</source>
        <translation>
            <numerusform>%n dialog</numerusform>
            <numerusform>%n dialogs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n controls</source>
        <translation>
            <numerusform>%n control</numerusform>
            <numerusform>%n controls</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Opened %1 (%n dictionary entries)</source>
        <translation>
            <numerusform>Opened %1 (%n dictionary entry)</numerusform>
            <numerusform>Opened %1 (%n dictionary entries)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Auto Translate: %1 of %n items translated, %2 left. %3</source>
        <translation>
            <numerusform>Auto Translate: %1 of %n item translated, %2 left. %3</numerusform>
            <numerusform>Auto Translate: %1 of %n items translated, %2 left. %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Auto Translate: %n translations from the memory, %1 of them marked to review</source>
        <translation>
            <numerusform>Auto Translate: %n translation from the memory; marked to review: %1</numerusform>
            <numerusform>Auto Translate: %n translations from the memory, %1 of them marked to review</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Restored %n items</source>
        <translation>
            <numerusform>Restored %n item</numerusform>
            <numerusform>Restored %n items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n errors</source>
        <translation>
            <numerusform>%n error</numerusform>
            <numerusform>%n errors</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n warnings</source>
        <translation>
            <numerusform>%n warning</numerusform>
            <numerusform>%n warnings</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The checks found %n errors that the target would ship, for example:

%1: %2

The Problems list shows them all. Build the target anyway?</source>
        <translation>
            <numerusform>The checks found %n error that the target would ship:

%1: %2

The Problems list shows it. Build the target anyway?</numerusform>
            <numerusform>The checks found %n errors that the target would ship, for example:

%1: %2

The Problems list shows them all. Build the target anyway?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Building despite %n errors, as confirmed</source>
        <translation>
            <numerusform>Building despite %n error, as confirmed</numerusform>
            <numerusform>Building despite %n errors, as confirmed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Dictionary %1 opened (%n entries)</source>
        <translation>
            <numerusform>Dictionary %1 opened (%n entry)</numerusform>
            <numerusform>Dictionary %1 opened (%n entries)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Glossary imported: %n entries, %1 imported, %2 already in the dictionary, %3</source>
        <translation>
            <numerusform>Glossary imported: %n entry, %1 imported, %2 already in the dictionary, %3</numerusform>
            <numerusform>Glossary imported: %n entries, %1 imported, %2 already in the dictionary, %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lines left out</source>
        <translation>
            <numerusform>%n line left out</numerusform>
            <numerusform>%n lines left out</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Exported %n units to %1</source>
        <translation>
            <numerusform>Exported %n unit to %1</numerusform>
            <numerusform>Exported %n units to %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Pseudo-translated %n items, 30% longer, accented and in brackets</source>
        <translation>
            <numerusform>Pseudo-translated %n item, 30% longer, accented and in brackets</numerusform>
            <numerusform>Pseudo-translated %n items, 30% longer, accented and in brackets</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Pseudo-translation replaces the %n translations of the project (Undo takes them back). Go on?</source>
        <translation>
            <numerusform>Pseudo-translation replaces %n translation of the project (Undo takes it back). Go on?</numerusform>
            <numerusform>Pseudo-translation replaces the %n translations of the project (Undo takes them back). Go on?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::COutputBar</name>
    <message numerus="yes">
        <source>... and %n more lines; the command line lists them all</source>
        <translation>
            <numerusform>... and %n more line; the command line lists them all</numerusform>
            <numerusform>... and %n more lines; the command line lists them all</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more lines; the Output window lists them all</source>
        <translation>
            <numerusform>... and %n more line; the Output window lists them all</numerusform>
            <numerusform>... and %n more lines; the Output window lists them all</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CReplaceDialog</name>
    <message numerus="yes">
        <source>Found in %n items.</source>
        <translation>
            <numerusform>Found in %n item.</numerusform>
            <numerusform>Found in %n items.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Replaced in %n items.</source>
        <translation>
            <numerusform>Replaced in %n item.</numerusform>
            <numerusform>Replaced in %n items.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>quillon::gui::CUpdateReportDlg</name>
    <message numerus="yes">
        <source>%n dialogs</source>
        <translation>
            <numerusform>%n dialog</numerusform>
            <numerusform>%n dialogs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n translations lost</source>
        <translation>
            <numerusform>%n translation lost</numerusform>
            <numerusform>%n translations lost</numerusform>
        </translation>
    </message>
</context>
</TS>
