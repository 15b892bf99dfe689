<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>AttendanceChart</name>
    <message>
        <location filename="../console/ui/meetings/AttendanceChart.cpp" line="+15"/>
        <source>Participants and talkers over time</source>
        <translation>Teilnehmer und Sprecher im Zeitverlauf</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>No polls recorded</source>
        <translation>Keine Abfragen aufgezeichnet</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Talking</source>
        <translation>Sprechend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Participants</source>
        <translation>Teilnehmer</translation>
    </message>
</context>
<context>
    <name>AttendanceMonitor</name>
    <message>
        <location filename="../console/core/attendance/AttendanceMonitor.cpp" line="+57"/>
        <source>Attendance not kept</source>
        <translation>Anwesenheit nicht gespeichert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The attendance records cannot be kept:
%1

The console goes on; attendance is shown for this run only.</source>
        <translation>Die Anwesenheitsdaten können nicht gespeichert werden:
%1

Die Konsole läuft weiter; die Anwesenheit wird nur für diese Sitzung angezeigt.</translation>
    </message>
</context>
<context>
    <name>BanlistEntries</name>
    <message>
        <location filename="../console/core/meetings/BanlistEntries.cpp" line="+46"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Enter a name for the new entry:</source>
        <translation>Geben Sie einen Namen für den neuen Eintrag ein:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Empty name not allowed.</source>
        <translation>Ein leerer Name ist nicht erlaubt.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cannot add entry without a name.</source>
        <translation>Ein Eintrag ohne Namen kann nicht hinzugefügt werden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Enter a URL to ban (* can be used):</source>
        <translation>Geben Sie eine zu sperrende URL ein (* ist erlaubt):</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Empty entry not allowed.</source>
        <translation>Ein leerer Eintrag ist nicht erlaubt.</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cannot add empty entry.</source>
        <translation>Ein leerer Eintrag kann nicht hinzugefügt werden.</translation>
    </message>
</context>
<context>
    <name>ComponentRows</name>
    <message>
        <location filename="../console/core/app/ComponentRows.cpp" line="+83"/>
        <source>ext</source>
        <translation>extern</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Asset Bundle</source>
        <translation>Asset Bundle</translation>
    </message>
</context>
<context>
    <name>ComponentsController</name>
    <message>
        <location filename="../console/ui/app/ComponentsController.cpp" line="+193"/>
        <source>Placeholder ID:</source>
        <translation>Platzhalter-ID:</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Item skipped</source>
        <translation>Element übersprungen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 not added</source>
        <translation>%1 wurde nicht hinzugefügt</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+7"/>
        <source>Cannot add Asset Bundle</source>
        <translation>Asset Bundle kann nicht hinzugefügt werden</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>Only one Asset Bundle can be assigned per Meeting.</source>
        <translation>Einer Besprechung kann nur ein Asset Bundle zugewiesen werden.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Unknown Error finding Asset Bundle ID.</source>
        <translation>Unbekannter Fehler beim Ermitteln der Asset-Bundle-ID.</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>Error during operation</source>
        <translation>Fehler bei der Ausführung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error trying to add asset to meeting: %1</source>
        <translation>Fehler beim Hinzufügen des Assets zur Besprechung: %1</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>The following files have been added to the Banlist:
</source>
        <translation>Die folgenden Dateien wurden der Sperrliste hinzugefügt:
</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Files added to Banlist</source>
        <translation>Dateien zur Sperrliste hinzugefügt</translation>
    </message>
</context>
<context>
    <name>ComponentsExchange</name>
    <message>
        <location filename="../console/ui/app/ComponentsExchange.cpp" line="+34"/>
        <source>Select Vorel Export file</source>
        <translation>Vorel-Exportdatei auswählen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Cannot open import file</source>
        <translation>Importdatei kann nicht geöffnet werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Import file could not be opened.</source>
        <translation>Die Importdatei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Error parsing import file</source>
        <translation>Fehler beim Lesen der Importdatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The import file could not be parsed correctly.</source>
        <translation>Die Importdatei konnte nicht korrekt gelesen werden.</translation>
    </message>
</context>
<context>
    <name>ComponentsFile</name>
    <message>
        <location filename="../console/core/app/ComponentsFile.cpp" line="+248"/>
        <source>Vorel Export File (*.vrl)</source>
        <translation>Vorel-Exportdatei (*.vrl)</translation>
    </message>
</context>
<context>
    <name>ConsoleConfig</name>
    <message>
        <location filename="../console/core/app/ConsoleConfig.cpp" line="+38"/>
        <source>The file %1 does not exist or cannot be read.</source>
        <translation>Die Datei %1 existiert nicht oder kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>[%1] host is empty.</source>
        <translation>[%1] host ist leer.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>[%1] host &quot;%2&quot; is not an http or https URL.</source>
        <translation>[%1] host „%2“ ist keine http- oder https-URL.</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Path to the INI File</source>
        <translation>Pfad zur INI-Datei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>ini file</source>
        <translation>INI-Datei</translation>
    </message>
</context>
<context>
    <name>FloorMapView</name>
    <message>
        <location filename="../console/ui/meetings/FloorMapView.cpp" line="+25"/>
        <source>Floor map</source>
        <translation>Raumplan</translation>
    </message>
    <message>
        <location line="+155"/>
        <source>1 participant without a position</source>
        <translation>1 Teilnehmer ohne Position</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 participants without a position</source>
        <translation>%1 Teilnehmer ohne Position</translation>
    </message>
</context>
<context>
    <name>InactivityFreeze</name>
    <message>
        <location filename="../console/ui/app/InactivityFreeze.cpp" line="+20"/>
        <source> - INACTIVE</source>
        <translation> – INAKTIV</translation>
    </message>
</context>
<context>
    <name>PasswordChange</name>
    <message>
        <location filename="../console/core/app/PasswordChange.cpp" line="+7"/>
        <source>Current Password field is empty</source>
        <translation>Das Feld „Aktuelles Passwort“ ist leer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>New Password field is empty</source>
        <translation>Das Feld „Neues Passwort“ ist leer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password Confirmation field is empty</source>
        <translation>Das Feld „Passwort bestätigen“ ist leer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password Confirmation doesn&apos;t match New Password</source>
        <translation>Die Bestätigung stimmt nicht mit dem neuen Passwort überein</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Password is too short (minimum is 8 characters)</source>
        <translation>Das Passwort ist zu kurz (mindestens 8 Zeichen)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The password you have entered is wrong. Your password was not changed.</source>
        <translation>Das eingegebene Passwort ist falsch. Ihr Passwort wurde nicht geändert.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unknown error changing password.</source>
        <translation>Unbekannter Fehler beim Ändern des Passworts.</translation>
    </message>
</context>
<context>
    <name>S3TransferQueue</name>
    <message>
        <location filename="../console/core/storage/S3TransferQueue.cpp" line="+58"/>
        <location line="+169"/>
        <source>Overwrite?</source>
        <translation>Überschreiben?</translation>
    </message>
    <message>
        <location line="-168"/>
        <source>File %1 already exists on the Server. Overwrite?</source>
        <translation>Die Datei %1 existiert bereits auf dem Server. Überschreiben?</translation>
    </message>
    <message>
        <location line="+55"/>
        <source>Interrupted transfers</source>
        <translation>Unterbrochene Übertragungen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>A transfer was left unfinished when the console last ended. Continue it now?

No keeps it for later; Discard ends it and deletes what it left.</source>
        <translation>Eine Übertragung blieb unvollendet, als die Konsole zuletzt beendet wurde. Jetzt fortsetzen?

Nein bewahrt sie für später auf; Verwerfen beendet sie und löscht, was sie hinterlassen hat.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 transfers were left unfinished when the console last ended. Continue them now?

No keeps them for later; Discard ends them and deletes what they left.</source>
        <translation>%1 Übertragungen blieben unvollendet, als die Konsole zuletzt beendet wurde. Jetzt fortsetzen?

Nein bewahrt sie für später auf; Verwerfen beendet sie und löscht, was sie hinterlassen haben.</translation>
    </message>
    <message>
        <location line="+94"/>
        <source>The local file changed after the upload was interrupted; the upload started over.</source>
        <translation>Die lokale Datei wurde geändert, nachdem das Hochladen unterbrochen wurde; das Hochladen hat neu begonnen.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Overwrite %1?</source>
        <translation>%1 überschreiben?</translation>
    </message>
    <message>
        <location line="+184"/>
        <source>Upload Error</source>
        <translation>Fehler beim Hochladen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error uploading Object to S3 Storage: %1</source>
        <translation>Fehler beim Hochladen des Objekts in den S3-Speicher: %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>An error has occurred</source>
        <translation>Ein Fehler ist aufgetreten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error has occurred during the download operation. Please try again later. If this problem persists, contact your system administrator.

Error Message: %1</source>
        <translation>Beim Herunterladen ist ein Fehler aufgetreten. Bitte versuchen Sie es später erneut. Wenn das Problem weiterhin besteht, wenden Sie sich an Ihren Systemadministrator.

Fehlermeldung: %1</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Delete Error</source>
        <translation>Fehler beim Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error deleting Object from S3 Storage: %1</source>
        <translation>Fehler beim Löschen des Objekts aus dem S3-Speicher: %1</translation>
    </message>
</context>
<context>
    <name>SpawnPointRules</name>
    <message>
        <location filename="../console/core/meetings/SpawnPointRules.cpp" line="+15"/>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Position </source>
        <translation>Position </translation>
    </message>
</context>
<context>
    <name>TransferStateFile</name>
    <message>
        <location filename="../console/core/storage/TransferStateFile.cpp" line="+179"/>
        <source>The transfer queue is in use by another console of this user (process %1 on %2).</source>
        <translation>Die Übertragungswarteschlange wird von einer anderen Konsole dieses Benutzers verwendet (Prozess %1 auf %2).</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The transfer queue cannot be locked in %1.</source>
        <translation>Die Übertragungswarteschlange in %1 kann nicht gesperrt werden.</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>The transfer queue cannot be saved to %1: %2</source>
        <translation>Die Übertragungswarteschlange kann nicht in %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>Zelt_AssetBundles</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_AssetBundles.cpp" line="+81"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Owner</source>
        <translation>Eigentümer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Storage</source>
        <translation>Speicher</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+33"/>
        <source>Vorel Team</source>
        <translation>Vorel-Team</translation>
    </message>
    <message>
        <location line="+84"/>
        <source>Create Global Asset Bundle</source>
        <translation>Globales Asset Bundle erstellen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you want to create a global Asset Bundle available to all users on the service?</source>
        <translation>Möchten Sie ein globales Asset Bundle erstellen, das allen Benutzern des Dienstes zur Verfügung steht?</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Are you sure? This will make the contents of the Asset Bundle available to all users.</source>
        <translation>Sind Sie sicher? Damit wird der Inhalt des Asset Bundles allen Benutzern zugänglich.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Creating global Asset Bundle</source>
        <translation>Globales Asset Bundle wird erstellt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Creating global Asset Bundle - It will be available to all users</source>
        <translation>Globales Asset Bundle wird erstellt – es steht allen Benutzern zur Verfügung</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Select files to Upload</source>
        <translation>Dateien zum Hochladen auswählen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Win Assetpack (*%1)</source>
        <translation>Windows-Assetpaket (*%1)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>The ios asset pack file could not be found.
 Expected path: %1</source>
        <translation>Die iOS-Assetpaketdatei wurde nicht gefunden.
 Erwarteter Pfad: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The web asset pack file could not be found.
 Expected path: %1</source>
        <translation>Die Web-Assetpaketdatei wurde nicht gefunden.
 Erwarteter Pfad: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>The android asset pack file could not be found.
 Expected path: %1</source>
        <translation>Die Android-Assetpaketdatei wurde nicht gefunden.
 Erwarteter Pfad: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Missing file</source>
        <translation>Datei fehlt</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Duplicate</source>
        <translation>Duplikat</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An assetbundle of the name &apos;%1&apos; already exists.</source>
        <translation>Ein Asset Bundle mit dem Namen „%1“ existiert bereits.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Uploading Files</source>
        <translation>Dateien werden hochgeladen</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Creating Asset Bundle in Service</source>
        <translation>Asset Bundle wird im Dienst erstellt</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>Creating Asset Bundle</source>
        <translation>Asset Bundle wird erstellt</translation>
    </message>
    <message>
        <location line="+23"/>
        <location line="+5"/>
        <source>Cannot delete Asset Bundle</source>
        <translation>Asset Bundle kann nicht gelöscht werden</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Unknown Error finding Asset Bundle ID.</source>
        <translation>Unbekannter Fehler beim Ermitteln der Asset-Bundle-ID.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>This Asset Bundle cannot be deleted.</source>
        <translation>Dieses Asset Bundle kann nicht gelöscht werden.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Delete Asset Bundle</source>
        <translation>Asset Bundle löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you really want to delete Asset Bundle %1?
All references to this Bundle will automatically be removed.</source>
        <translation>Möchten Sie das Asset Bundle %1 wirklich löschen?
Alle Verweise auf dieses Bundle werden automatisch entfernt.</translation>
    </message>
</context>
<context>
    <name>Zelt_AssetBundlesClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_AssetBundles.ui" line="+6"/>
        <source>Zelt_AssetBundles</source>
        <translation>Zelt_AssetBundles</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Refresh (F5, Ctrl+S)</source>
        <translation>Aktualisieren (F5, Strg+S)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Create Global</source>
        <translation>Global erstellen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Owner</source>
        <translation>Eigentümer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Storage</source>
        <translation>Speicher</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
</context>
<context>
    <name>Zelt_AssetPropertiesDialogClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_AssetPropertiesDialog.ui" line="+9"/>
        <source>Scale</source>
        <translation>Skalierung</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Rotation</source>
        <translation>Drehung</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Custom URL</source>
        <translation>Eigene URL</translation>
    </message>
</context>
<context>
    <name>Zelt_AttendanceDialog</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_AttendanceDialog.cpp" line="+61"/>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Role</source>
        <translation>Rolle</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>First seen</source>
        <translation>Zuerst gesehen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Last seen</source>
        <translation>Zuletzt gesehen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Present</source>
        <translation>Anwesend</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Talking</source>
        <translation>Gesprochen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Role changes</source>
        <translation>Rollenwechsel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Joins</source>
        <translation>Beitritte</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>Attendance of %1</source>
        <translation>Anwesenheit in %1</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>%1 (running)</source>
        <translation>%1 (läuft)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>No sessions recorded for this meeting yet.</source>
        <translation>Für diese Besprechung wurden noch keine Sitzungen aufgezeichnet.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>1 participant</source>
        <translation>1 Teilnehmer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 participants</source>
        <translation>%1 Teilnehmer</translation>
    </message>
    <message>
        <location line="+50"/>
        <location line="+8"/>
        <source>Export Attendance</source>
        <translation>Anwesenheit exportieren</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>%1 could not be written:
%2</source>
        <translation>%1 konnte nicht geschrieben werden:
%2</translation>
    </message>
</context>
<context>
    <name>Zelt_AttendanceDialogClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_AttendanceDialog.ui" line="+6"/>
        <source>Attendance</source>
        <translation>Anwesenheit</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Sessions</source>
        <translation>&amp;Sitzungen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Sessions</source>
        <translation>Sitzungen</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>&amp;Export CSV...</source>
        <translation>CSV &amp;exportieren...</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>&amp;Floor Map</source>
        <translation>&amp;Raumplan</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Gold: presenter. Ringed: talking. Green: spawn points. Wheel or +/- zooms, 0 fits.</source>
        <translation>Gold: Präsentator. Umrandet: spricht. Grün: Startpunkte. Mausrad oder +/- zoomt, 0 passt ein.</translation>
    </message>
</context>
<context>
    <name>Zelt_BanlistDialog</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_BanlistDialog.cpp" line="+61"/>
        <source>Delete not possible</source>
        <translation>Löschen nicht möglich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Invalid entry - Could not delete</source>
        <translation>Ungültiger Eintrag – konnte nicht gelöscht werden</translation>
    </message>
</context>
<context>
    <name>Zelt_BanlistDialogClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_BanlistDialog.ui" line="+6"/>
        <source>Banlist</source>
        <translation>Sperrliste</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Add Custom</source>
        <translation>Eigenen hinzufügen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>Zelt_ChangePasswordDialog</name>
    <message>
        <location filename="../console/ui/app/Zelt_ChangePasswordDialog.cpp" line="+20"/>
        <source>Ok</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Cannot change Password</source>
        <translation>Passwort kann nicht geändert werden</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Change Password</source>
        <translation>Passwort ändern</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Password changed</source>
        <translation>Passwort geändert</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
</context>
<context>
    <name>Zelt_ChangePasswordDialogClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_ChangePasswordDialog.ui" line="+5"/>
        <source>Change Password</source>
        <translation>Passwort ändern</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Current Password</source>
        <translation>Aktuelles Passwort</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>New Password</source>
        <translation>Neues Passwort</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Confirm  New Password</source>
        <translation>Neues Passwort bestätigen</translation>
    </message>
</context>
<context>
    <name>Zelt_Common_API::ZeltHttpRequestWorker</name>
    <message>
        <location filename="../console/api/common/ZeltHttpRequestWorker.cpp" line="+82"/>
        <source>No connection within %1 s</source>
        <translation>Keine Verbindung innerhalb von %1 s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No answer within %1 s</source>
        <translation>Keine Antwort innerhalb von %1 s</translation>
    </message>
</context>
<context>
    <name>Zelt_ComponentsClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_Components.ui" line="+5"/>
        <source>Components</source>
        <translation>Komponenten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Add Custom URL</source>
        <translation>Eigene URL hinzufügen</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Properties</source>
        <translation>Eigenschaften</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source> Remove All</source>
        <translation> Alle entfernen</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Export</source>
        <translation>Exportieren</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Id</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Path</source>
        <translation>Pfad</translation>
    </message>
</context>
<context>
    <name>Zelt_ConsoleUpdater</name>
    <message>
        <location filename="../console/ui/app/Zelt_ConsoleUpdater.cpp" line="+50"/>
        <source>Up to date</source>
        <translation>Aktuell</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>You already have the newest Version (%1) installed.</source>
        <translation>Sie haben bereits die neueste Version (%1) installiert.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Update check failed</source>
        <translation>Update-Prüfung fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The service could not be asked for the newest version. Please try again later.</source>
        <translation>Der Dienst konnte nicht nach der neuesten Version gefragt werden. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>New Console Version available</source>
        <translation>Neue Version der Konsole verfügbar</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A new Vorel Console Version (%1.%2.%3) is available. Do you want to update now?</source>
        <translation>Eine neue Version der Vorel Console (%1.%2.%3) ist verfügbar. Möchten Sie jetzt aktualisieren?</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Downloading Update</source>
        <translation>Update wird heruntergeladen</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>Update failed</source>
        <translation>Update fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Update download process failed. Please try again later.</source>
        <translation>Das Herunterladen des Updates ist fehlgeschlagen. Bitte versuchen Sie es später erneut.</translation>
    </message>
</context>
<context>
    <name>Zelt_CustomURLInputDialogClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_CustomURLInputDialog.ui" line="+6"/>
        <source>Create Custom Placeholder</source>
        <translation>Eigenen Platzhalter erstellen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Customer Placeholder Id</source>
        <translation>Platzhalter-ID</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Custom Placeholder URL</source>
        <translation>Platzhalter-URL</translation>
    </message>
</context>
<context>
    <name>Zelt_ExportDialog</name>
    <message>
        <location filename="../console/ui/app/Zelt_ExportDialog.cpp" line="+14"/>
        <source>Export Meeting %1</source>
        <translation>Besprechung %1 exportieren</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Export Meetings</source>
        <translation>Besprechungen exportieren</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>Save meeting components to file</source>
        <translation>Komponenten der Besprechung in Datei speichern</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Meeting exported</source>
        <translation>Besprechung exportiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Meeting components exported to %1.</source>
        <translation>Die Komponenten der Besprechung wurden nach %1 exportiert.</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Error writing export file</source>
        <translation>Fehler beim Schreiben der Exportdatei</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Export file could not be opened.</source>
        <translation>Die Exportdatei konnte nicht geöffnet werden.</translation>
    </message>
</context>
<context>
    <name>Zelt_ExportDialogClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_ExportDialog.ui" line="+11"/>
        <source>Select Components</source>
        <translation>Komponenten auswählen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Assets</source>
        <translation>Assets</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>URL Placeholders</source>
        <translation>URL-Platzhalter</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Asset Bundles</source>
        <translation>Asset Bundles</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Spawn Points</source>
        <translation>Startpunkte</translation>
    </message>
</context>
<context>
    <name>Zelt_LogfileDialog</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_LogfileDialog.cpp" line="+29"/>
        <source>Mirror Server Logfile - Meeting %1</source>
        <translation>Protokoll des Mirror-Servers – Besprechung %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Service Logfile</source>
        <translation>Protokoll des Dienstes</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Loading, please wait.</source>
        <translation>Wird geladen, bitte warten.</translation>
    </message>
</context>
<context>
    <name>Zelt_LogfileDialogClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_LogfileDialog.ui" line="+18"/>
        <source>Auto Update</source>
        <translation>Automatisch aktualisieren</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Lines</source>
        <translation>Zeilen</translation>
    </message>
</context>
<context>
    <name>Zelt_Login</name>
    <message>
        <location filename="../console/ui/app/Zelt_Login.cpp" line="+122"/>
        <source>Login failed</source>
        <translation>Anmeldung fehlgeschlagen</translation>
    </message>
    <message>
        <location line="-17"/>
        <source>Login failed. Is your password correct?</source>
        <translation>Die Anmeldung ist fehlgeschlagen. Ist Ihr Passwort richtig?</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>The login service&apos;s answer could not be read.</source>
        <translation>Die Antwort des Anmeldedienstes konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>The login service at %1 could not be reached: %2</source>
        <translation>Der Anmeldedienst unter %1 war nicht erreichbar: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The login service answered with an error: %1</source>
        <translation>Der Anmeldedienst hat mit einem Fehler geantwortet: %1</translation>
    </message>
    <message>
        <location line="+32"/>
        <location line="+4"/>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Authentication failed.</source>
        <translation>Die Authentifizierung ist fehlgeschlagen.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Your account is missing the &apos;Presenter&apos; role. Please contact your administrator.</source>
        <translation>Ihrem Konto fehlt die Rolle „Presenter“. Bitte wenden Sie sich an Ihren Administrator.</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>Login Error</source>
        <translation>Anmeldefehler</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>Could not retrieve account information. Please try again later.</source>
        <translation>Die Kontoinformationen konnten nicht abgerufen werden. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+6"/>
        <source>ERROR</source>
        <translation>FEHLER</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>Your account belongs to no customer group. Please contact your administrator.</source>
        <translation>Ihr Konto gehört zu keiner Kundengruppe. Bitte wenden Sie sich an Ihren Administrator.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Your account has no storage configuration group. Please contact your administrator.</source>
        <translation>Ihr Konto hat keine Gruppe mit Speicherkonfiguration. Bitte wenden Sie sich an Ihren Administrator.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Could not retrieve the account&apos;s groups. Please try again later.</source>
        <translation>Die Gruppen des Kontos konnten nicht abgerufen werden. Bitte versuchen Sie es später erneut.</translation>
    </message>
</context>
<context>
    <name>Zelt_LoginClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_Login.ui" line="+5"/>
        <source>Login</source>
        <translation>Anmeldung</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Username:</source>
        <translation>Benutzername:</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Password:</source>
        <translation>Passwort:</translation>
    </message>
</context>
<context>
    <name>Zelt_MeetingEditor</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_MeetingEditor.cpp" line="+32"/>
        <source>Create a new Meeting</source>
        <translation>Neue Besprechung erstellen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Modify a Meeting</source>
        <translation>Besprechung bearbeiten</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>License cannot be changed while meeting is started</source>
        <translation>Die Lizenz kann nicht geändert werden, solange die Besprechung läuft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Select license mode</source>
        <translation>Lizenzmodus auswählen</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>Meeting Title not set</source>
        <translation>Titel der Besprechung fehlt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Meeting Title cannot be empty.</source>
        <translation>Der Titel der Besprechung darf nicht leer sein.</translation>
    </message>
</context>
<context>
    <name>Zelt_MeetingEditorClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_MeetingEditor.ui" line="+10"/>
        <source>Meeting Title*</source>
        <translation>Titel der Besprechung*</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Voice Mode</source>
        <translation>Audiomodus</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+13"/>
        <location line="+12"/>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <location line="-24"/>
        <location line="+13"/>
        <location line="+12"/>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <location line="-24"/>
        <source>Moderated</source>
        <translation>Moderiert</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>3D Voice</source>
        <translation>3D-Audio</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Chat Mode</source>
        <translation>Chatmodus</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>License</source>
        <translation>Lizenz</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No End Time</source>
        <translation>Ohne Endzeit</translation>
    </message>
</context>
<context>
    <name>Zelt_Meetings</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_Meetings.cpp" line="+143"/>
        <source>&amp;Stop</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Cannot connect to meeting service</source>
        <translation>Keine Verbindung zum Besprechungsdienst</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connecting to meeting service failed. Please try again later.
Error Message: %1</source>
        <translation>Die Verbindung zum Besprechungsdienst ist fehlgeschlagen. Bitte versuchen Sie es später erneut.
Fehlermeldung: %1</translation>
    </message>
    <message>
        <location line="+77"/>
        <source>Error changing meeting status</source>
        <translation>Fehler beim Ändern des Besprechungsstatus</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>There was an error changing the status of the meeting. Please refresh the meeting list and try again later.</source>
        <translation>Beim Ändern des Status der Besprechung ist ein Fehler aufgetreten. Bitte aktualisieren Sie die Liste der Besprechungen und versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+46"/>
        <source>Cannot start meeting</source>
        <translation>Besprechung kann nicht gestartet werden</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Not allowed to modify meeting.</source>
        <translation>Sie dürfen diese Besprechung nicht ändern.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Invite URL Copied To Clipboard</source>
        <translation>Einladungs-URL in die Zwischenablage kopiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The meeting invite URL has been copied to the clipboard.</source>
        <translation>Die Einladungs-URL der Besprechung wurde in die Zwischenablage kopiert.</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+57"/>
        <source>Mute</source>
        <translation>Stummschalten</translation>
    </message>
    <message>
        <location line="-57"/>
        <location line="+51"/>
        <location line="+6"/>
        <source>Unmute</source>
        <translation>Stummschaltung aufheben</translation>
    </message>
    <message>
        <location line="-55"/>
        <location line="+67"/>
        <source>Take Presenter</source>
        <translation>Presenter-Rolle entziehen</translation>
    </message>
    <message>
        <location line="-66"/>
        <location line="+67"/>
        <source>Give Presenter</source>
        <translation>Presenter-Rolle übergeben</translation>
    </message>
    <message>
        <location line="-57"/>
        <source>Kick User</source>
        <translation>Teilnehmer entfernen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Kick user %1 from meeting %2?</source>
        <translation>Teilnehmer %1 aus der Besprechung %2 entfernen?</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Send Message to Meeting %1</source>
        <translation>Nachricht an Besprechung %1 senden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Message:</source>
        <translation>Nachricht:</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Not implemented</source>
        <translation>Nicht implementiert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Not implemented yet</source>
        <translation>Noch nicht implementiert</translation>
    </message>
    <message>
        <location line="+52"/>
        <source>Export all meetings to directory</source>
        <translation>Alle Besprechungen in Verzeichnis exportieren</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Meetings exported</source>
        <translation>Besprechungen exportiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Meetings exported to %1.</source>
        <translation>Die Besprechungen wurden nach %1 exportiert.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Meetings partly exported</source>
        <translation>Meetings teilweise exportiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>These files could not be written:
%2
The other meetings were exported to %1.</source>
        <translation>Diese Dateien konnten nicht geschrieben werden:
%2
Die übrigen Meetings wurden nach %1 exportiert.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Meetings not exported</source>
        <translation>Meetings nicht exportiert</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>No meeting could be exported to %1. These files could not be written:
%2</source>
        <translation>Kein Meeting konnte nach %1 exportiert werden. Diese Dateien konnten nicht geschrieben werden:
%2</translation>
    </message>
</context>
<context>
    <name>Zelt_MeetingsClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_Meetings.ui" line="+14"/>
        <source>Meetings</source>
        <translation>Besprechungen</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>&amp;Create</source>
        <translation>&amp;Erstellen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Modify</source>
        <translation>Be&amp;arbeiten</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Send Message</source>
        <translation>Nachricht senden</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Spawn Points</source>
        <translation>Startpunkte</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Mirror Log</source>
        <translation>Mirror-Protokoll</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Service Log</source>
        <translation>Dienstprotokoll</translation>
    </message>
    <message>
        <location line="-12"/>
        <source>Copy Invite URL</source>
        <translation>Einladungs-URL kopieren</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Banlist</source>
        <translation>Sperrliste</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Export All</source>
        <translation>Alle exportieren</translation>
    </message>
    <message>
        <location line="-21"/>
        <source>-- &amp;Refresh --</source>
        <translation>-- A&amp;ktualisieren --</translation>
    </message>
    <message>
        <location line="-3"/>
        <source>&amp;Start</source>
        <translation>&amp;Starten</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>&amp;Attendance...</source>
        <translation>Anwesen&amp;heit...</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>Mute User</source>
        <translation>Teilnehmer stummschalten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Kick User</source>
        <translation>Teilnehmer entfernen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Ban User</source>
        <translation>Teilnehmer sperren</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Give Presenter</source>
        <translation>Presenter-Rolle übergeben</translation>
    </message>
</context>
<context>
    <name>Zelt_MeetingsInfoThread</name>
    <message>
        <location filename="../console/core/meetings/Zelt_MeetingsInfoThread.cpp" line="+279"/>
        <source>Cannot connect to service</source>
        <translation>Keine Verbindung zum Dienst</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Connecting to service failed. Please try again later.</source>
        <translation>Die Verbindung zum Dienst ist fehlgeschlagen. Bitte versuchen Sie es später erneut.</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Empty log file</source>
        <translation>Leere Protokolldatei</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+12"/>
        <source>Error getting logfile.</source>
        <translation>Fehler beim Abrufen der Protokolldatei.</translation>
    </message>
    <message>
        <location line="+92"/>
        <source>Error creating asset bundle</source>
        <translation>Fehler beim Erstellen des Asset Bundles</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error occured while trying to create or modify asset bundle:
%1</source>
        <translation>Beim Erstellen oder Ändern des Asset Bundles ist ein Fehler aufgetreten:
%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Error deleting asset bundle</source>
        <translation>Fehler beim Löschen des Asset Bundles</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error occured while trying to delete asset bundle:
%1</source>
        <translation>Beim Löschen des Asset Bundles ist ein Fehler aufgetreten:
%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Error getting asset bundles</source>
        <translation>Fehler beim Abrufen der Asset Bundles</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error occured while trying to get asset bundles: 
%1</source>
        <translation>Beim Abrufen der Asset Bundles ist ein Fehler aufgetreten: 
%1</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Error getting banlist</source>
        <translation>Fehler beim Abrufen der Sperrliste</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error occured while trying to get the banlist: 
%1</source>
        <translation>Beim Abrufen der Sperrliste ist ein Fehler aufgetreten: 
%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Error adding banlist entry</source>
        <translation>Fehler beim Hinzufügen des Sperrlisteneintrags</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error occured while trying to add an entry to the banlist:
%1</source>
        <translation>Beim Hinzufügen eines Eintrags zur Sperrliste ist ein Fehler aufgetreten:
%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Error deleting banlist entry</source>
        <translation>Fehler beim Löschen des Sperrlisteneintrags</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Deleting the banlist entry failed:
%1</source>
        <translation>Das Löschen des Sperrlisteneintrags ist fehlgeschlagen:
%1</translation>
    </message>
</context>
<context>
    <name>Zelt_MeetingsTable</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_MeetingsTable.cpp" line="+47"/>
        <source>Id</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pw</source>
        <translation>PW</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Voice</source>
        <translation>Audio</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Creator</source>
        <translation>Ersteller</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Time Left</source>
        <translation>Restzeit</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Users</source>
        <translation>Teilnehmer</translation>
    </message>
</context>
<context>
    <name>Zelt_MembersTable</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_MembersTable.cpp" line="+42"/>
        <source>Id</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Mic</source>
        <translation>Mikro</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Role</source>
        <translation>Rolle</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Host</source>
        <translation>Host</translation>
    </message>
</context>
<context>
    <name>Zelt_NextCloudClass</name>
    <message>
        <location filename="../console/ui/storage/Zelt_NextCloud.ui" line="+5"/>
        <source>Zelt_NextCloud</source>
        <translation>Zelt_NextCloud</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Refresh (F5, Ctrl+S)</source>
        <translation>Aktualisieren (F5, Strg+S)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pass:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size (MB)</source>
        <translation>Größe (MB)</translation>
    </message>
</context>
<context>
    <name>Zelt_QueueTableWidget</name>
    <message>
        <location filename="../console/ui/storage/Zelt_QueueTableWidget.cpp" line="+16"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Remote</source>
        <translation>Server</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Local</source>
        <translation>Lokal</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Queued</source>
        <translation>In Warteschlange</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>In Progress</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Paused</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Skipped</source>
        <translation>Übersprungen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Complete</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Interrupted</source>
        <translation>Unterbrochen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Waiting for connection</source>
        <translation>Warte auf Verbindung</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>Cannot abort</source>
        <translation>Abbrechen nicht möglich</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Cannot abort current operation.</source>
        <translation>Der laufende Vorgang kann nicht abgebrochen werden.</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>Retry</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
</context>
<context>
    <name>Zelt_S3</name>
    <message>
        <location filename="../console/ui/storage/Zelt_S3.cpp" line="+220"/>
        <source>Transfers not kept</source>
        <translation>Übertragungen werden nicht aufbewahrt</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1

This console goes on, but a transfer it leaves unfinished cannot be continued later.</source>
        <translation>%1

Diese Konsole arbeitet weiter, aber eine Übertragung, die sie unvollendet lässt, kann später nicht fortgesetzt werden.</translation>
    </message>
    <message>
        <location line="+73"/>
        <source>Refreshing...</source>
        <translation>Wird aktualisiert...</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>Error during initialisation</source>
        <translation>Fehler bei der Initialisierung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An error has occurred during the initialisation of the S3 Module. Error Message: %1</source>
        <translation>Bei der Initialisierung des S3-Moduls ist ein Fehler aufgetreten. Fehlermeldung: %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>S3 Error</source>
        <translation>S3-Fehler</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Error listing S3 Storage Objects: %1</source>
        <translation>Fehler beim Auflisten der Objekte im S3-Speicher: %1</translation>
    </message>
    <message>
        <location line="+214"/>
        <source>Select files to Upload</source>
        <translation>Dateien zum Hochladen auswählen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>3D Files (*.fbx);;Audio (*.mp3 *.wav);;Images (*.png *.jpg *.jpeg);;Videos (*.webm *.mp4 *.mpg *.mpeg);;Documents (*.pdf *.txt *.docx *.doc *.xlsx *.xls *.pptx *.ppt *.ppsx *.pps)</source>
        <translation>3D-Dateien (*.fbx);;Audio (*.mp3 *.wav);;Bilder (*.png *.jpg *.jpeg);;Videos (*.webm *.mp4 *.mpg *.mpeg);;Dokumente (*.pdf *.txt *.docx *.doc *.xlsx *.xls *.pptx *.ppt *.ppsx *.pps)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>Save File As</source>
        <translation>Datei speichern unter</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Save files in</source>
        <translation>Dateien speichern in</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>Delete File</source>
        <translation>Datei löschen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Delete Files</source>
        <translation>Dateien löschen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Do you really want to delete &apos;%1&apos;?</source>
        <translation>Möchten Sie „%1“ wirklich löschen?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you really want to delete these files?</source>
        <translation>Möchten Sie diese Dateien wirklich löschen?</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+1"/>
        <source>New Directory</source>
        <translation>Neues Verzeichnis</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>Directory Name:</source>
        <translation>Name des Verzeichnisses:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Directory already exists</source>
        <translation>Verzeichnis existiert bereits</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>A directory with the name %1 already exists.</source>
        <translation>Ein Verzeichnis mit dem Namen %1 existiert bereits.</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>Add files to Banlist</source>
        <translation>Dateien zur Sperrliste hinzufügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Do you really want to add the selected files to the list of Banned files?</source>
        <translation>Möchten Sie die ausgewählten Dateien wirklich der Liste gesperrter Dateien hinzufügen?</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>Resume transfers</source>
        <translation>Übertragungen fortsetzen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Pause transfers</source>
        <translation>Übertragungen anhalten</translation>
    </message>
</context>
<context>
    <name>Zelt_S3Class</name>
    <message>
        <location filename="../console/ui/storage/Zelt_S3.ui" line="+5"/>
        <source>Zelt_S3</source>
        <translation>Zelt_S3</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <location line="-4"/>
        <source>Refresh (F5, Ctrl+S)</source>
        <translation>Aktualisieren (F5, Strg+S)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+1"/>
        <source>Abort the transfers</source>
        <translation>Übertragungen abbrechen</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>URL:</source>
        <translation>URL:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Bucket:</source>
        <translation>Bucket:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>User:</source>
        <translation>Benutzer:</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Pass:</source>
        <translation>Passwort:</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Filename</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>New Directory</source>
        <translation>Neues Verzeichnis</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Upload</source>
        <translation>Hochladen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Ban File</source>
        <translation>Datei sperren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Unfinished Uploads...</source>
        <translation>Unvollendete Uploads...</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Multipart uploads begun and never finished, which take space until aborted</source>
        <translation>Begonnene und nie beendete mehrteilige Uploads, die Speicher belegen, bis sie abgebrochen werden</translation>
    </message>
</context>
<context>
    <name>Zelt_S3Worker</name>
    <message>
        <location filename="../console/core/storage/Zelt_S3Worker.cpp" line="+150"/>
        <source>The server no longer holds the interrupted upload; the upload started over.</source>
        <translation>Der Server hat den unterbrochenen Upload nicht mehr; das Hochladen hat neu begonnen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The interrupted upload could not be continued (%1); the upload started over.</source>
        <translation>Der unterbrochene Upload konnte nicht fortgesetzt werden (%1); das Hochladen hat neu begonnen.</translation>
    </message>
    <message>
        <location line="+178"/>
        <source>The object changed on the server; the download started over.</source>
        <translation>Das Objekt wurde auf dem Server geändert; das Herunterladen hat neu begonnen.</translation>
    </message>
</context>
<context>
    <name>Zelt_ServerApp</name>
    <message>
        <location filename="../console/ui/app/Zelt_ServerApp.cpp" line="+48"/>
        <source>Configuration problem</source>
        <translation>Konfigurationsproblem</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Configuration file: %1

%2</source>
        <translation>Konfigurationsdatei: %1

%2</translation>
    </message>
    <message>
        <location line="+248"/>
        <source>Unsufficient User Rights</source>
        <translation>Unzureichende Benutzerrechte</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Only Presenters can use the Console Application. Ask your administrator for Presenter rights.</source>
        <translation>Nur Presenter können die Konsole verwenden. Bitten Sie Ihren Administrator um Presenter-Rechte.</translation>
    </message>
    <message>
        <location line="+43"/>
        <source>Session expired</source>
        <translation>Sitzung abgelaufen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your session has expired. Please perform a new Login.</source>
        <translation>Ihre Sitzung ist abgelaufen. Bitte melden Sie sich erneut an.</translation>
    </message>
</context>
<context>
    <name>Zelt_ServerAppClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_ServerApp.ui" line="+6"/>
        <source>Vorel Console</source>
        <translation>Vorel Console</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Server / Client Connection Status</source>
        <translation>Verbindungsstatus Server / Client</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Service Status</source>
        <translation>Dienststatus</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>Queue</source>
        <translation>Warteschlange</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>S3</source>
        <translation>S3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>NextCloud</source>
        <translation>NextCloud</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Asset Bundles</source>
        <translation>Asset Bundles</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>File Transfer Queue</source>
        <translation>Warteschlange der Dateiübertragungen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Change Password</source>
        <translation>Passwort ändern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Change the account password</source>
        <translation>Das Passwort des Kontos ändern</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quit Vorel Console</source>
        <translation>Vorel Console beenden</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Check for Updates</source>
        <translation>Nach Updates suchen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Install a new Vorel Console version</source>
        <translation>Eine neue Version der Vorel Console installieren</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show Version Information</source>
        <translation>Versionsinformationen anzeigen</translation>
    </message>
</context>
<context>
    <name>Zelt_SpawnPointEditDialog</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_SpawnPointEditDialog.cpp" line="+65"/>
        <source>Invalid coordinate</source>
        <translation>Ungültige Koordinate</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1 is out of range: a coordinate lies between -%2 and %2.</source>
        <translation>%1 liegt außerhalb des Bereichs: Eine Koordinate liegt zwischen -%2 und %2.</translation>
    </message>
</context>
<context>
    <name>Zelt_SpawnPointEditDialogClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_SpawnPointEditDialog.ui" line="+6"/>
        <source>Create/Edit Spawn Point</source>
        <translation>Startpunkt erstellen/bearbeiten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Load Position from Player:</source>
        <translation>Position von Teilnehmer übernehmen:</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Go</source>
        <translation>Los</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Basics</source>
        <translation>Grunddaten</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Id</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+34"/>
        <source>X</source>
        <translation>X</translation>
    </message>
    <message>
        <location line="-25"/>
        <location line="+34"/>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <location line="-25"/>
        <location line="+34"/>
        <source>Z</source>
        <translation>Z</translation>
    </message>
    <message>
        <location line="-22"/>
        <source>View Direction</source>
        <translation>Blickrichtung</translation>
    </message>
</context>
<context>
    <name>Zelt_SpawnPointsDialog</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_SpawnPointsDialog.cpp" line="+27"/>
        <source>Manage Spawn Points for Meeting %1</source>
        <translation>Startpunkte der Besprechung %1 verwalten</translation>
    </message>
</context>
<context>
    <name>Zelt_SpawnPointsDialogClass</name>
    <message>
        <location filename="../console/ui/meetings/Zelt_SpawnPointsDialog.ui" line="+16"/>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>View Direction</source>
        <translation>Blickrichtung</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Modify</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Up</source>
        <translation>Nach oben</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Down</source>
        <translation>Nach unten</translation>
    </message>
</context>
<context>
    <name>Zelt_StorageAccess</name>
    <message>
        <location filename="../console/ui/app/Zelt_StorageAccess.cpp" line="+40"/>
        <source>No Storage Configuration</source>
        <translation>Keine Speicherkonfiguration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Your Account is missing storage configuration. Please ask your administrator to configure storage access for you.</source>
        <translation>Ihrem Konto fehlt die Speicherkonfiguration. Bitten Sie Ihren Administrator, den Speicherzugang für Sie einzurichten.</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>S3 Login Data</source>
        <translation>S3-Zugangsdaten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Invalid or incomplete Storage Login Data received from Service. Storage will not be available.</source>
        <translation>Vom Dienst wurden ungültige oder unvollständige Zugangsdaten für den Speicher empfangen. Der Speicher ist nicht verfügbar.</translation>
    </message>
</context>
<context>
    <name>Zelt_TransferStatusBar</name>
    <message>
        <location filename="../console/ui/app/Zelt_TransferStatusBar.cpp" line="+51"/>
        <source>Completed: %1 KB</source>
        <translation>Fertig: %1 KB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Completed: %1 MB</source>
        <translation>Fertig: %1 MB</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Completed: %1 GB</source>
        <translation>Fertig: %1 GB</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Size: %1 KB</source>
        <translation>Größe: %1 KB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Size: %1 MB</source>
        <translation>Größe: %1 MB</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Size: %1 GB</source>
        <translation>Größe: %1 GB</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Uploading:</source>
        <translation>Hochladen:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Downloading:</source>
        <translation>Herunterladen:</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Deleting:</source>
        <translation>Löschen:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Size Query:</source>
        <translation>Größenabfrage:</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Speed: %1 MByte/s</source>
        <translation>Geschwindigkeit: %1 MByte/s</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Speed: %1 KByte/s</source>
        <translation>Geschwindigkeit: %1 KByte/s</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Retrying (%1/%2):</source>
        <translation>Neuer Versuch (%1/%2):</translation>
    </message>
</context>
<context>
    <name>Zelt_UnfinishedUploadsDialog</name>
    <message>
        <location filename="../console/ui/storage/Zelt_UnfinishedUploadsDialog.cpp" line="+18"/>
        <source>Listing the unfinished uploads...</source>
        <translation>Die unvollendeten Uploads werden aufgelistet...</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>&amp;Abort Selected</source>
        <translation>Auswahl &amp;abbrechen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Unfinished Uploads</source>
        <translation>Unvollendete Uploads</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Object</source>
        <translation>Objekt</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Started</source>
        <translation>Begonnen</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Age</source>
        <translation>Alter</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Stored</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>There are no unfinished uploads.</source>
        <translation>Es gibt keine unvollendeten Uploads.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>An upload was begun and never finished. What it holds so far takes space until it is aborted.</source>
        <translation>Ein Upload wurde begonnen und nie beendet. Was er bisher enthält, belegt Speicher, bis er abgebrochen wird.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 uploads were begun and never finished. What they hold so far takes space until they are aborted.</source>
        <translation>%1 Uploads wurden begonnen und nie beendet. Was sie bisher enthalten, belegt Speicher, bis sie abgebrochen werden.</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>1 day</source>
        <translation>1 Tag</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 days</source>
        <translation>%1 Tage</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>1 hour</source>
        <translation>1 Stunde</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 hours</source>
        <translation>%1 Stunden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 minute</source>
        <translation>1 Minute</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>%1 minutes</source>
        <translation>%1 Minuten</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>Abort this upload? What it holds so far is deleted.</source>
        <translation>Diesen Upload abbrechen? Was er bisher enthält, wird gelöscht.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Abort these %1 uploads? What they hold so far is deleted.</source>
        <translation>Diese %1 Uploads abbrechen? Was sie bisher enthalten, wird gelöscht.</translation>
    </message>
    <message>
        <location line="-14"/>
        <source>The unfinished uploads could not be listed: %1</source>
        <translation>Die unvollendeten Uploads konnten nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Abort uploads</source>
        <translation>Uploads abbrechen</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Aborting...</source>
        <translation>Wird abgebrochen...</translation>
    </message>
</context>
<context>
    <name>Zelt_VersionDialog</name>
    <message>
        <location filename="../console/ui/app/Zelt_VersionDialog.cpp" line="+19"/>
        <source>Vorel Console</source>
        <translation>Vorel Console</translation>
    </message>
</context>
<context>
    <name>Zelt_VersionDialogClass</name>
    <message>
        <location filename="../console/ui/app/Zelt_VersionDialog.ui" line="+6"/>
        <source>About Vorel Console</source>
        <translation>Über Vorel Console</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Vorel Console</source>
        <translation>Vorel Console</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>Copyright © Vorel. All rights reserved.
Vorel and Vorel Console are trademarks of Vorel.</source>
        <translation>Copyright © Vorel. Alle Rechte vorbehalten.
Vorel und Vorel Console sind Marken von Vorel.</translation>
    </message>
</context>
</TS>
