<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Appcast</name>
    <message>
        <source>no version</source>
        <translation>aucune version</translation>
    </message>
    <message>
        <source>no enclosure</source>
        <translation>aucun téléchargement (enclosure)</translation>
    </message>
    <message>
        <source>the download &quot;%1&quot; is not an https link</source>
        <translation>le téléchargement « %1 » n’est pas un lien https</translation>
    </message>
    <message>
        <source>the length &quot;%1&quot; is not a number</source>
        <translation>la longueur « %1 » n’est pas un nombre</translation>
    </message>
    <message>
        <source>item %1: %2</source>
        <translation>élément %1 : %2</translation>
    </message>
    <message>
        <source>not an RSS feed (the document is &lt;%1&gt;)</source>
        <translation>pas un flux RSS (le document est &lt;%1&gt;)</translation>
    </message>
    <message>
        <source>the appcast is not well-formed XML (line %1: %2)</source>
        <translation>l’appcast n’est pas un XML bien formé (ligne %1 : %2)</translation>
    </message>
    <message>
        <source>the appcast has no &lt;channel&gt;</source>
        <translation>l’appcast n’a pas de &lt;channel&gt;</translation>
    </message>
    <message>
        <source>the appcast has no usable item (%1)</source>
        <translation>l’appcast n’a aucun élément utilisable (%1)</translation>
    </message>
</context>
<context>
    <name>AutostartEntry</name>
    <message>
        <source>cannot read the autostart template %1: %2</source>
        <translation>impossible de lire le modèle de démarrage automatique %1 : %2</translation>
    </message>
    <message>
        <source>the autostart template %1 is not a desktop entry</source>
        <translation>le modèle de démarrage automatique %1 n’est pas un fichier .desktop</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>%1 is a folder</source>
        <translation>%1 est un dossier</translation>
    </message>
    <message>
        <source>cannot delete %1: %2</source>
        <translation>impossible de supprimer %1 : %2</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>unknown option &apos;%1&apos;</source>
        <translation>option inconnue « %1 »</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; needs a value (%2)</source>
        <translation>l’option « %1 » attend une valeur (%2)</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; takes no value</source>
        <translation>l’option « %1 » ne prend pas de valeur</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a value of &apos;%2&apos; (%3)</source>
        <translation>« %1 » n’est pas une valeur de « %2 » (%3)</translation>
    </message>
    <message>
        <source>option &apos;%1&apos; works only with &apos;%2&apos;</source>
        <translation>l’option « %1 » ne s’emploie qu’avec « %2 »</translation>
    </message>
    <message>
        <source>&apos;%1&apos; and &apos;%2&apos; cannot be combined</source>
        <translation>« %1 » et « %2 » ne peuvent pas être combinés</translation>
    </message>
    <message>
        <source>&apos;%1&apos; needs a folder</source>
        <translation>« %1 » attend un dossier</translation>
    </message>
    <message>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>argument inattendu « %1 »</translation>
    </message>
    <message>
        <source>%1 (see &apos;%2&apos;)</source>
        <translation>%1 (voir « %2 »)</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Utilisation :</translation>
    </message>
    <message>
        <source>Options of --print:</source>
        <translation>Options de --print :</translation>
    </message>
    <message>
        <source>&apos;tarnwick --print --help&apos; tells more; &apos;man tarnwick&apos; tells all.</source>
        <translation>« tarnwick --print --help » en dit plus ; « man tarnwick » dit tout.</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Options :</translation>
    </message>
    <message>
        <source>Fields of each JSON object (--json):</source>
        <translation>Champs de chaque objet JSON (--json) :</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>Code de sortie :</translation>
    </message>
    <message>
        <source>Do what the shortcut does: open a panel on the folder of the file manager window in front, in the running Tarnwick.</source>
        <translation>Faire ce que fait le raccourci : ouvrir, dans le Tarnwick en cours, un panneau sur le dossier de la fenêtre du gestionnaire de fichiers au premier plan.</translation>
    </message>
    <message>
        <source>For desktops whose own settings bind the shortcut to a command.</source>
        <translation>Pour les bureaux dont les propres paramètres associent le raccourci à une commande.</translation>
    </message>
    <message>
        <source>Open the settings window of the running Tarnwick.</source>
        <translation>Ouvrir la fenêtre des paramètres du Tarnwick en cours.</translation>
    </message>
    <message>
        <source>Show a panel on FOLDER alone, without the tray; it ends when the panel closes.</source>
        <translation>Afficher seulement un panneau sur DOSSIER, sans zone de notification ; se termine à la fermeture du panneau.</translation>
    </message>
    <message>
        <source>Search FOLDER for QUERY and print the results, without any window.</source>
        <translation>Chercher REQUÊTE dans DOSSIER et afficher les résultats, sans aucune fenêtre.</translation>
    </message>
    <message>
        <source>Lists, filters and sorts exactly as the panel does; its options follow.</source>
        <translation>Liste, filtre et trie exactement comme le panneau ; ses options suivent.</translation>
    </message>
    <message>
        <source>Add &quot;Search here with Tarnwick&quot; to Nautilus and Thunar for this user.</source>
        <translation>Ajouter « Chercher ici avec Tarnwick » à Nautilus et Thunar pour cet utilisateur.</translation>
    </message>
    <message>
        <source>Dolphin and Nemo get their actions from the package.</source>
        <translation>Dolphin et Nemo reçoivent leurs actions du paquet.</translation>
    </message>
    <message>
        <source>Print the version and exit.</source>
        <translation>Afficher la version et quitter.</translation>
    </message>
    <message>
        <source>Print this help and exit; after --print, the help of --print.</source>
        <translation>Afficher cette aide et quitter ; après --print, l’aide de --print.</translation>
    </message>
    <message>
        <source>Order of the results: name, date or size (default: name); folders come first.</source>
        <translation>Ordre des résultats : name, date ou size (par défaut : name) ; les dossiers viennent en premier.</translation>
    </message>
    <message>
        <source>Names ascend as the user&apos;s language sorts them, ignoring case; dates run newest first, sizes largest first.</source>
        <translation>Les noms dans l’ordre de la langue de l’utilisateur, sans tenir compte de la casse ; les dates du plus récent, les tailles du plus grand.</translation>
    </message>
    <message>
        <source>Keep only files with this extension, or folders for __folder__; repeatable.</source>
        <translation>Ne garder que les fichiers de cette extension, ou les dossiers pour __folder__ ; répétable.</translation>
    </message>
    <message>
        <source>KEY is compared without regard to case, e.g. pdf, jpg or __folder__.</source>
        <translation>CLÉ est comparée sans tenir compte de la casse, par exemple pdf, jpg ou __folder__.</translation>
    </message>
    <message>
        <source>End each result with a NUL byte instead of a newline, for xargs -0.</source>
        <translation>Terminer chaque résultat par un octet NUL au lieu d’un saut de ligne, pour xargs -0.</translation>
    </message>
    <message>
        <source>Where the files whose text contains QUERY come from: auto, tracker, scan or none (default: auto).</source>
        <translation>D’où viennent les fichiers dont le texte contient REQUÊTE : auto, tracker, scan ou none (par défaut : auto).</translation>
    </message>
    <message>
        <source>auto: Tracker where it indexes the folder, with Tarnwick&apos;s own scan for the files Tracker cannot read, and the scan elsewhere; tracker: Tracker alone; scan: the scan alone; none: names and paths only.</source>
        <translation>auto : Tracker là où il indexe le dossier, avec l’analyse propre à Tarnwick pour les fichiers que Tracker ne sait pas lire, et l’analyse ailleurs ; tracker : Tracker seul ; scan : l’analyse seule ; none : noms et chemins seulement.</translation>
    </message>
    <message>
        <source>Print each result as one JSON object on a line of its own.</source>
        <translation>Afficher chaque résultat comme un objet JSON sur une ligne à lui.</translation>
    </message>
    <message>
        <source>Its fields are listed below.</source>
        <translation>Ses champs sont listés plus bas.</translation>
    </message>
    <message>
        <source>Take the actions away again.</source>
        <translation>Retirer de nouveau les actions.</translation>
    </message>
    <message>
        <source>Start in the tray; a second start hands over to the first and ends.</source>
        <translation>Démarrer dans la zone de notification ; un second lancement passe la main au premier et se termine.</translation>
    </message>
    <message>
        <source>Open a panel on FOLDER in the running Tarnwick.</source>
        <translation>Ouvrir un panneau sur DOSSIER dans le Tarnwick en cours.</translation>
    </message>
    <message>
        <source>Open a panel on the folder of the file manager window in front.</source>
        <translation>Ouvrir un panneau sur le dossier de la fenêtre du gestionnaire de fichiers au premier plan.</translation>
    </message>
    <message>
        <source>Open the settings window.</source>
        <translation>Ouvrir la fenêtre des paramètres.</translation>
    </message>
    <message>
        <source>Show a panel on FOLDER alone, without the tray.</source>
        <translation>Afficher seulement un panneau sur DOSSIER, sans zone de notification.</translation>
    </message>
    <message>
        <source>Search FOLDER and print the results.</source>
        <translation>Chercher dans DOSSIER et afficher les résultats.</translation>
    </message>
    <message>
        <source>Add (or remove) &quot;Search here with Tarnwick&quot; in Nautilus and Thunar.</source>
        <translation>Ajouter (ou retirer) « Chercher ici avec Tarnwick » dans Nautilus et Thunar.</translation>
    </message>
    <message>
        <source>Print the version.</source>
        <translation>Afficher la version.</translation>
    </message>
    <message>
        <source>Print this help.</source>
        <translation>Afficher cette aide.</translation>
    </message>
    <message>
        <source>The folder to search: everything below it is listed (hidden files only when the showHiddenFiles setting is on).</source>
        <translation>Le dossier où chercher : tout ce qu’il contient est listé (les fichiers cachés seulement si le paramètre showHiddenFiles est activé).</translation>
    </message>
    <message>
        <source>What to look for in names, paths below FOLDER and the files&apos; text; without it every item is printed. Case and accents written either way do not matter.</source>
        <translation>Ce qu’il faut chercher dans les noms, les chemins sous DOSSIER et le texte des fichiers ; sans elle, chaque élément est affiché. La casse et les accents n’ont pas d’importance.</translation>
    </message>
    <message>
        <source>The path below FOLDER as text; bytes of a name that are not valid UTF-8 read as U+FFFD.</source>
        <translation>Le chemin sous DOSSIER, en texte ; les octets d’un nom qui ne sont pas de l’UTF-8 valide se lisent U+FFFD.</translation>
    </message>
    <message>
        <source>Only for such a name: the path&apos;s exact bytes, in base64.</source>
        <translation>Seulement pour un tel nom : les octets exacts du chemin, en base64.</translation>
    </message>
    <message>
        <source>file, folder or symlink (a symbolic link is never followed).</source>
        <translation>file, folder ou symlink (un lien symbolique n’est jamais suivi).</translation>
    </message>
    <message>
        <source>The size in bytes; null for a folder.</source>
        <translation>La taille en octets ; null pour un dossier.</translation>
    </message>
    <message>
        <source>The last change, ISO 8601 in UTC (2024-05-01T09:30:00Z); null when unknown.</source>
        <translation>La dernière modification, en ISO 8601 UTC (2024-05-01T09:30:00Z) ; null si elle est inconnue.</translation>
    </message>
    <message>
        <source>How QUERY was found: name, path (below FOLDER) or content (in the file&apos;s text).</source>
        <translation>Comment REQUÊTE a été trouvée : name, path (sous DOSSIER) ou content (dans le texte du fichier).</translation>
    </message>
    <message>
        <source>The name&apos;s or path&apos;s score, higher first; 0 where neither matches or without QUERY.</source>
        <translation>Le score du nom ou du chemin, le plus élevé d’abord ; 0 si aucun ne correspond ou sans REQUÊTE.</translation>
    </message>
    <message>
        <source>Only for a content match: the passage around it, or null when none could be read.</source>
        <translation>Seulement pour une correspondance dans le contenu : le passage qui l’entoure, ou null si aucun n’a pu être lu.</translation>
    </message>
    <message>
        <source>At least one result was printed (or the reader of the output went away).</source>
        <translation>Au moins un résultat a été affiché (ou le lecteur de la sortie est parti).</translation>
    </message>
    <message>
        <source>Nothing matched.</source>
        <translation>Aucune correspondance.</translation>
    </message>
    <message>
        <source>An error: a wrong command line, a folder that is missing, not a folder or unreadable, an index that did not answer, or output that could not be written.</source>
        <translation>Une erreur : une ligne de commande erronée, un dossier absent, qui n’est pas un dossier ou illisible, un index qui n’a pas répondu, ou une sortie qui n’a pas pu être écrite.</translation>
    </message>
    <message>
        <source>Done; for the tray, it was quit.</source>
        <translation>Terminé ; pour la zone de notification, elle a été quittée.</translation>
    </message>
    <message>
        <source>The folder cannot be searched, there is no screen for the panel, the running Tarnwick did not answer, or an action could not be changed.</source>
        <translation>Le dossier ne peut pas être parcouru, il n’y a pas d’écran pour le panneau, le Tarnwick en cours n’a pas répondu, ou une action n’a pas pu être modifiée.</translation>
    </message>
    <message>
        <source>A wrong command line.</source>
        <translation>Une ligne de commande erronée.</translation>
    </message>
    <message>
        <source>Each result is a line with its path below FOLDER, printed as the bytes it is; after a file found by its text come a tab and the passage around the match. Output to a closed pipe ends the search quietly.</source>
        <translation>Chaque résultat est une ligne avec son chemin sous DOSSIER, affiché octet pour octet ; après un fichier trouvé par son texte viennent une tabulation et le passage autour de la correspondance. Une sortie vers un tube fermé termine la recherche sans message.</translation>
    </message>
</context>
<context>
    <name>ContentMatch</name>
    <message>
        <source>Content match</source>
        <translation>Correspondance dans le contenu</translation>
    </message>
</context>
<context>
    <name>CountLabel</name>
    <message>
        <source>Loading…</source>
        <translation>Chargement…</translation>
    </message>
    <message numerus="yes">
        <source>%n items — type to search</source>
        <translation>
            <numerusform>%n élément — tapez pour chercher</numerusform>
            <numerusform>%n éléments — tapez pour chercher</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n results</source>
        <translation>
            <numerusform>%n résultat</numerusform>
            <numerusform>%n résultats</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n items</source>
        <translation>
            <numerusform>%n élément</numerusform>
            <numerusform>%n éléments</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
</context>
<context>
    <name>ExtensionPills</name>
    <message>
        <source>All</source>
        <translation>Tout</translation>
    </message>
    <message>
        <source>Folders</source>
        <translation>Dossiers</translation>
    </message>
</context>
<context>
    <name>FileManagerActions</name>
    <message>
        <source>Nautilus: added the script %1</source>
        <translation>Nautilus : script %1 ajouté</translation>
    </message>
    <message>
        <source>Thunar: added the custom action to %1</source>
        <translation>Thunar : action personnalisée ajoutée à %1</translation>
    </message>
    <message>
        <source>Nautilus: no script of ours left</source>
        <translation>Nautilus : plus aucun script de Tarnwick</translation>
    </message>
    <message>
        <source>Thunar: no custom action of ours left</source>
        <translation>Thunar : plus aucune action personnalisée de Tarnwick</translation>
    </message>
    <message>
        <source>Neither Nautilus nor Thunar was found; Dolphin and Nemo get their action from the package.</source>
        <translation>Ni Nautilus ni Thunar n’ont été trouvés ; Dolphin et Nemo reçoivent leur action du paquet.</translation>
    </message>
</context>
<context>
    <name>FolderArgument</name>
    <message>
        <source>not a folder</source>
        <translation>n’est pas un dossier</translation>
    </message>
</context>
<context>
    <name>HotKeyText</name>
    <message>
        <source>Key %1</source>
        <translation>Touche %1</translation>
    </message>
    <message>
        <source>Activate search</source>
        <translation>Lancer la recherche</translation>
    </message>
    <message>
        <source>Navigate results</source>
        <translation>Parcourir les résultats</translation>
    </message>
    <message>
        <source>Open selected file</source>
        <translation>Ouvrir le fichier sélectionné</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Copy path</source>
        <translation>Copier le chemin</translation>
    </message>
    <message>
        <source>QuickLook preview</source>
        <translation>Aperçu rapide</translation>
    </message>
    <message>
        <source>Dismiss</source>
        <translation>Fermer</translation>
    </message>
</context>
<context>
    <name>LoginItem</name>
    <message>
        <source>no autostart template installed (looked in %1)</source>
        <translation>aucun modèle de démarrage automatique installé (cherché dans %1)</translation>
    </message>
</context>
<context>
    <name>NautilusScriptAction</name>
    <message>
        <source>%1 exists and is not ours; left as it is</source>
        <translation>%1 existe et ne vient pas de Tarnwick ; laissé tel quel</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>cannot delete %1: %2</source>
        <translation>impossible de supprimer %1 : %2</translation>
    </message>
</context>
<context>
    <name>PanelCommand</name>
    <message>
        <source>no screen to show the panel on</source>
        <translation>aucun écran où afficher le panneau</translation>
    </message>
</context>
<context>
    <name>Preferences</name>
    <message>
        <source>The settings could not be saved to %1: the disk may be full or the folder read-only. The earlier settings are kept.</source>
        <translation>Les réglages n’ont pas pu être enregistrés dans %1 : le disque est peut-être plein ou le dossier en lecture seule. Les réglages précédents sont conservés.</translation>
    </message>
</context>
<context>
    <name>PrintCommand</name>
    <message>
        <source>cannot write the results: %1</source>
        <translation>impossible d’écrire les résultats : %1</translation>
    </message>
    <message numerus="yes">
        <source>the index holds %n items here; searching the index alone</source>
        <translation>
            <numerusform>l’index contient ici %n élément ; recherche dans l’index seul</numerusform>
            <numerusform>l’index contient ici %n éléments ; recherche dans l’index seul</numerusform>
        </translation>
    </message>
    <message>
        <source>the index did not answer</source>
        <translation>l’index n’a pas répondu</translation>
    </message>
    <message>
        <source>the index did not answer; matching names only</source>
        <translation>l’index n’a pas répondu ; seuls les noms sont comparés</translation>
    </message>
</context>
<context>
    <name>ResultText</name>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n octet</numerusform>
            <numerusform>%n octets</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SafeFileWrite</name>
    <message>
        <source>cannot write %1: %2</source>
        <translation>impossible d’écrire %1 : %2</translation>
    </message>
    <message>
        <source>cannot set the permissions of %1: %2</source>
        <translation>impossible de définir les permissions de %1 : %2</translation>
    </message>
</context>
<context>
    <name>SettingsView</name>
    <message>
        <source>Press &lt;b&gt;%1&lt;/b&gt; with a File Manager window in front to search and filter files in the current folder.</source>
        <translation>Appuyez sur &lt;b&gt;%1&lt;/b&gt; quand une fenêtre du gestionnaire de fichiers est au premier plan pour chercher et filtrer les fichiers du dossier courant.</translation>
    </message>
    <message>
        <source> Meanwhile &lt;b&gt;Search File Manager Window&lt;/b&gt; in the tray menu searches the front folder.</source>
        <translation> En attendant, &lt;b&gt;Chercher dans la fenêtre du gestionnaire de fichiers&lt;/b&gt; dans le menu de la zone de notification cherche dans le dossier au premier plan.</translation>
    </message>
</context>
<context>
    <name>SortMode</name>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Taille</translation>
    </message>
</context>
<context>
    <name>ThunarActionsFile</name>
    <message>
        <source>cannot read %1: %2</source>
        <translation>impossible de lire %1 : %2</translation>
    </message>
    <message>
        <source>cannot create the folder %1</source>
        <translation>impossible de créer le dossier %1</translation>
    </message>
    <message>
        <source>cannot keep a copy of %1 as %2</source>
        <translation>impossible de garder une copie de %1 sous %2</translation>
    </message>
    <message>
        <source>%1 left unchanged: %2</source>
        <translation>%1 laissé inchangé : %2</translation>
    </message>
</context>
<context>
    <name>ThunarCustomActions</name>
    <message>
        <source>the root element is &lt;%1&gt;, not &lt;actions&gt;</source>
        <translation>l’élément racine est &lt;%1&gt;, pas &lt;actions&gt;</translation>
    </message>
    <message>
        <source>cannot find the bounds of an action</source>
        <translation>impossible de trouver les limites d’une action</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>ligne %1 : %2</translation>
    </message>
    <message>
        <source>no &lt;actions&gt; element</source>
        <translation>aucun élément &lt;actions&gt;</translation>
    </message>
    <message>
        <source>the file is not UTF-8 text</source>
        <translation>le fichier n’est pas du texte UTF-8</translation>
    </message>
</context>
<context>
    <name>Trash</name>
    <message>
        <source>“%1” could not be moved to the trash: %2.</source>
        <translation>Impossible de mettre « %1 » à la corbeille : %2.</translation>
    </message>
    <message>
        <source>unknown error</source>
        <translation>erreur inconnue</translation>
    </message>
    <message>
        <source>“%1” was not found.</source>
        <translation>« %1 » est introuvable.</translation>
    </message>
    <message>
        <source>“%1” could not be moved to the trash: it is still in its place.</source>
        <translation>Impossible de mettre « %1 » à la corbeille : il est toujours à sa place.</translation>
    </message>
    <message>
        <source>“%1” was moved, but not into a trash folder.</source>
        <translation>« %1 » a été déplacé, mais pas dans une corbeille.</translation>
    </message>
</context>
<context>
    <name>TrayMenu</name>
    <message>
        <source>Search File Manager Window</source>
        <translation>Chercher dans la fenêtre du gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Settings…</source>
        <translation>Paramètres…</translation>
    </message>
    <message>
        <source>Check for Updates…</source>
        <translation>Rechercher des mises à jour…</translation>
    </message>
    <message>
        <source>Quit Tarnwick</source>
        <translation>Quitter Tarnwick</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>the running instance did not answer: %1</source>
        <translation>le Tarnwick en cours n’a pas répondu : %1</translation>
    </message>
    <message>
        <source>cannot load the interface: %1</source>
        <translation>impossible de charger l’interface : %1</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastDialog</name>
    <message>
        <source>Release Notes:</source>
        <translation>Notes de version :</translation>
    </message>
    <message>
        <source>Software Update</source>
        <translation>Mise à jour du logiciel</translation>
    </message>
    <message>
        <source>Checking for updates…</source>
        <translation>Recherche de mises à jour…</translation>
    </message>
    <message>
        <source>You&apos;re up to date!</source>
        <translation>Vous êtes à jour !</translation>
    </message>
    <message>
        <source>Tarnwick %1 is currently the newest version available.</source>
        <translation>Tarnwick %1 est actuellement la version la plus récente.</translation>
    </message>
    <message>
        <source>Update Error!</source>
        <translation>Erreur de mise à jour !</translation>
    </message>
    <message>
        <source>A new version of Tarnwick is available!</source>
        <translation>Une nouvelle version de Tarnwick est disponible !</translation>
    </message>
    <message>
        <source>Tarnwick %1 is now available—you have %2. Would you like to download it now?</source>
        <translation>Tarnwick %1 est disponible — vous avez la version %2. Voulez-vous la télécharger maintenant ?</translation>
    </message>
    <message>
        <source>Skip This Version</source>
        <translation>Ignorer cette version</translation>
    </message>
    <message>
        <source>Remind Me Later</source>
        <translation>Me le rappeler plus tard</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastFetcher</name>
    <message>
        <source>the update server did not answer within %1 seconds</source>
        <translation>le serveur de mises à jour n’a pas répondu en %1 secondes</translation>
    </message>
    <message>
        <source>refusing to read updates from %1: only https addresses are accepted</source>
        <translation>refus de lire les mises à jour depuis %1 : seules les adresses https sont acceptées</translation>
    </message>
    <message>
        <source>the update server redirected more than %1 times</source>
        <translation>le serveur de mises à jour a redirigé plus de %1 fois</translation>
    </message>
    <message>
        <source>refusing the redirect to %1: updates are only read over https</source>
        <translation>redirection vers %1 refusée : les mises à jour ne sont lues qu’en https</translation>
    </message>
    <message>
        <source>the appcast is %1, more than the %2 an appcast may be</source>
        <translation>l’appcast fait %1, plus que les %2 permis</translation>
    </message>
    <message>
        <source>the appcast is larger than the %1 an appcast may be</source>
        <translation>l’appcast dépasse les %1 permis</translation>
    </message>
    <message>
        <source>cannot read the appcast: %1</source>
        <translation>impossible de lire l’appcast : %1</translation>
    </message>
    <message>
        <source>the update server answered HTTP %1 %2</source>
        <translation>le serveur de mises à jour a répondu HTTP %1 %2</translation>
    </message>
</context>
<context>
    <name>tarnwick::AppcastReleaseNotes</name>
    <message>
        <source>&lt;p&gt;Read about this version at &lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;.&lt;/p&gt;</source>
        <translation>&lt;p&gt;En savoir plus sur cette version : &lt;a href=&quot;%1&quot;&gt;%1&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;No release notes were published with this version.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Aucune note de version n’a été publiée avec cette version.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>tarnwick::HotKeyManager</name>
    <message>
        <source>Shortcut: %1</source>
        <translation>Raccourci : %1</translation>
    </message>
    <message>
        <source>Shortcut: waiting for the desktop…</source>
        <translation>Raccourci : en attente du bureau…</translation>
    </message>
    <message>
        <source>Shortcut: none (see Settings)</source>
        <translation>Raccourci : aucun (voir Paramètres)</translation>
    </message>
    <message>
        <source>%1 is no key of this keyboard.</source>
        <translation>%1 n’est pas une touche de ce clavier.</translation>
    </message>
    <message>
        <source>GNOME lets only its own settings react to %1: add it there below.</source>
        <translation>GNOME ne laisse que ses propres paramètres réagir à %1 : ajoutez-le là, ci-dessous.</translation>
    </message>
    <message>
        <source>No shortcut: %1.</source>
        <translation>Aucun raccourci : %1.</translation>
    </message>
    <message>
        <source>Another application holds %1: quit it and restart Tarnwick.</source>
        <translation>Une autre application utilise %1 : quittez-la et redémarrez Tarnwick.</translation>
    </message>
    <message>
        <source>Plasma did not bind %1: give “Search File Manager Window” a key in System Settings › Shortcuts.</source>
        <translation>Plasma n’a pas associé %1 : donnez une touche à « Chercher dans la fenêtre du gestionnaire de fichiers » dans Configuration du système › Raccourcis.</translation>
    </message>
    <message>
        <source>The desktop did not bind %1: give Tarnwick a key in its shortcut settings.</source>
        <translation>Le bureau n’a pas associé %1 : donnez une touche à Tarnwick dans ses paramètres de raccourcis.</translation>
    </message>
</context>
<context>
    <name>tarnwick::PreviewWindow</name>
    <message>
        <source>Preview</source>
        <translation>Aperçu</translation>
    </message>
</context>
<context>
    <name>tarnwick::ResultText</name>
    <message>
        <source>in %1</source>
        <translation>dans %1</translation>
    </message>
</context>
<context>
    <name>tarnwick::SearchPanel</name>
    <message>
        <source>Filter files…</source>
        <translation>Filtrer les fichiers…</translation>
    </message>
    <message>
        <source>“%1” cannot be opened: its path is longer than the 4096 bytes other applications accept. Copy File and Move to Trash still work.</source>
        <translation>« %1 » ne peut pas être ouvert : son chemin dépasse les 4096 octets que les autres applications acceptent. « Copier le fichier » et « Mettre à la corbeille » fonctionnent toujours.</translation>
    </message>
    <message>
        <source>“%1” cannot be shown in the file manager: its path is longer than the 4096 bytes other applications accept. Copy File and Move to Trash still work.</source>
        <translation>« %1 » ne peut pas être affiché dans le gestionnaire de fichiers : son chemin dépasse les 4096 octets que les autres applications acceptent. « Copier le fichier » et « Mettre à la corbeille » fonctionnent toujours.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Reveal in File Manager</source>
        <translation>Afficher dans le gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Copier le chemin</translation>
    </message>
    <message>
        <source>Copy File</source>
        <translation>Copier le fichier</translation>
    </message>
    <message>
        <source>Move to Trash</source>
        <translation>Mettre à la corbeille</translation>
    </message>
    <message>
        <source>File types</source>
        <translation>Types de fichiers</translation>
    </message>
    <message>
        <source>Sort order</source>
        <translation>Ordre de tri</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Résultats</translation>
    </message>
    <message>
        <source>Filter files in %1</source>
        <translation>Filtrer les fichiers de %1</translation>
    </message>
</context>
<context>
    <name>tarnwick::SettingsView</name>
    <message>
        <source>%1 and %2</source>
        <translation>%1 et %2</translation>
    </message>
    <message>
        <source>Tarnwick Settings</source>
        <translation>Paramètres de Tarnwick</translation>
    </message>
    <message>
        <source>Tarnwick</source>
        <translation>Tarnwick</translation>
    </message>
    <message>
        <source>Behaviour</source>
        <translation>Comportement</translation>
    </message>
    <message>
        <source>Show hidden files in results</source>
        <translation>Afficher les fichiers cachés dans les résultats</translation>
    </message>
    <message>
        <source>Launch at login</source>
        <translation>Lancer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Clavier</translation>
    </message>
    <message>
        <source>File Manager</source>
        <translation>Gestionnaire de fichiers</translation>
    </message>
    <message>
        <source>“Search with Tarnwick” action</source>
        <translation>Action « Chercher avec Tarnwick »</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Raccourci</translation>
    </message>
    <message>
        <source>Shortcut in GNOME&apos;s settings</source>
        <translation>Raccourci dans les paramètres de GNOME</translation>
    </message>
    <message>
        <source>Launch at login could not be changed: %1.</source>
        <translation>« Lancer à l’ouverture de session » n’a pas pu être modifié : %1.</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>In the context menu of %1.</source>
        <translation>Dans le menu contextuel de %1.</translation>
    </message>
    <message>
        <source>Adds it to the context menu of %1.</source>
        <translation>L’ajoute au menu contextuel de %1.</translation>
    </message>
    <message>
        <source>GNOME runs the search when you press %1.</source>
        <translation>GNOME lance la recherche quand vous appuyez sur %1.</translation>
    </message>
    <message>
        <source>GNOME on Wayland lets only its own settings react to %1 everywhere. Add it there?</source>
        <translation>Sous Wayland, GNOME ne laisse que ses propres paramètres réagir partout à %1. L’y ajouter ?</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>Activer</translation>
    </message>
    <message>
        <source>Tarnwick&apos;s GNOME Shell extension</source>
        <translation>Extension GNOME Shell de Tarnwick</translation>
    </message>
    <message>
        <source>On: it finds the front Nautilus window and tab, answers %1 and places the panel.</source>
        <translation>Activée : elle trouve la fenêtre et l’onglet Nautilus au premier plan, répond à %1 et place le panneau.</translation>
    </message>
    <message>
        <source>Off: with several Nautilus windows Tarnwick cannot tell which is in front, and GNOME places the panel. Enable it?</source>
        <translation>Désactivée : avec plusieurs fenêtres Nautilus, Tarnwick ne peut pas savoir laquelle est au premier plan, et GNOME place le panneau. L’activer ?</translation>
    </message>
    <message>
        <source>Not installed: GNOME Shell finds it in /usr/share/gnome-shell/extensions/%1 once Tarnwick&apos;s package is installed.</source>
        <translation>Non installée : GNOME Shell la trouve dans /usr/share/gnome-shell/extensions/%1 une fois le paquet de Tarnwick installé.</translation>
    </message>
    <message>
        <source>GNOME Shell could not run it: see the Extensions app.</source>
        <translation>GNOME Shell n’a pas pu l’exécuter : voir l’application Extensions.</translation>
    </message>
    <message>
        <source>Keep recent folder listings</source>
        <translation>Garder les dossiers récemment parcourus</translation>
    </message>
    <message>
        <source>A folder searched again opens at once; changes are read on opening.</source>
        <translation>Un dossier parcouru à nouveau s’ouvre aussitôt ; les changements sont lus à l’ouverture.</translation>
    </message>
    <message>
        <source> MB</source>
        <translation> Mo</translation>
    </message>
    <message>
        <source>Memory for kept listings</source>
        <translation>Mémoire pour les dossiers gardés</translation>
    </message>
</context>
<context>
    <name>tarnwick::UpdateManager</name>
    <message>
        <source>Cannot open %1: %2</source>
        <translation>Impossible d’ouvrir %1 : %2</translation>
    </message>
</context>
</TS>
