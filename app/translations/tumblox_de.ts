<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BlockDropWindow</name>
    <message>
        <source>&amp;New Game</source>
        <translation>&amp;Neues Spiel</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <translation>&amp;Links</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <translation>&amp;Rechts</translation>
    </message>
    <message>
        <source>&amp;Drop</source>
        <translation>&amp;Fallen</translation>
    </message>
    <message>
        <source>&amp;Rotate</source>
        <translation>&amp;Drehen</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>&amp;Runter</translation>
    </message>
    <message>
        <source>SCORE</source>
        <translation>PUNKTE</translation>
    </message>
    <message>
        <source>LEVEL</source>
        <translation>LEVEL</translation>
    </message>
    <message>
        <source>TIME LEFT</source>
        <translation>RESTZEIT</translation>
    </message>
    <message>
        <source>Tumblox</source>
        <translation>Tumblox</translation>
    </message>
    <message>
        <source>&amp;Resume</source>
        <translation>&amp;Weiter</translation>
    </message>
</context>
<context>
    <name>BlockDropBoard</name>
    <message>
        <source>Loading, please wait!</source>
        <translation>Wird geladen, bitte warten!</translation>
    </message>
    <message>
        <source>Quillo / the Tumblox developers
 Tumblox 
 v1.0.0 
 https://quillo.example/tumblox</source>
        <translation>Quillo / die Tumblox-Entwickler
 Tumblox 
 v1.0.0 
 https://quillo.example/tumblox</translation>
    </message>
    <message>
        <source>Sound off (M)</source>
        <translation>Ton aus (M)</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Skip in</source>
        <translation>Überspringen in</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Überspringen</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>GameModeMenu</name>
    <message>
        <source>&amp;Score mode</source>
        <translation>&amp;Punkte-Modus</translation>
    </message>
    <message>
        <source>&amp;Line mode</source>
        <translation>&amp;Linien-Modus</translation>
    </message>
    <message>
        <source>&amp;Timer mode</source>
        <translation>&amp;Zeit-Modus</translation>
    </message>
</context>
<context>
    <name>KeyHelpOverlay</name>
    <message>
        <source>Left, Right</source>
        <translation>Pfeil links, rechts</translation>
    </message>
    <message>
        <source>Move the bar</source>
        <translation>Balken verschieben</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Pfeil hoch</translation>
    </message>
    <message>
        <source>Cycle the colours</source>
        <translation>Farben durchwechseln</translation>
    </message>
    <message>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>One row down</source>
        <translation>Eine Reihe tiefer</translation>
    </message>
    <message>
        <source>Space, keypad Enter</source>
        <translation>Leertaste, Enter im Ziffernblock</translation>
    </message>
    <message>
        <source>Drop the bar</source>
        <translation>Balken fallen lassen</translation>
    </message>
    <message>
        <source>H</source>
        <translation>H</translation>
    </message>
    <message>
        <source>Hold the bar</source>
        <translation>Balken beiseitelegen</translation>
    </message>
    <message>
        <source>P, Esc</source>
        <translation>P, Esc</translation>
    </message>
    <message>
        <source>Pause or resume</source>
        <translation>Pause oder weiter</translation>
    </message>
    <message>
        <source>1, 2, 3</source>
        <translation>1, 2, 3</translation>
    </message>
    <message>
        <source>New score, line or timer game</source>
        <translation>Neues Punkte-, Linien- oder Zeitspiel</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>This help</source>
        <translation>Diese Hilfe</translation>
    </message>
    <message>
        <source>D-pad, left stick</source>
        <translation>Steuerkreuz, linker Stick</translation>
    </message>
    <message>
        <source>Move; down: one row down</source>
        <translation>Verschieben; unten: eine Reihe tiefer</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
    <message>
        <source>B, X</source>
        <translation>B, X</translation>
    </message>
    <message>
        <source>Y</source>
        <translation>Y</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
    <message>
        <source>Gamepad</source>
        <translation>Gamepad</translation>
    </message>
    <message>
        <source>Any key or click closes this help.</source>
        <translation>Jede Taste und jeder Klick schließt diese Hilfe.</translation>
    </message>
    <message>
        <source>M</source>
        <translation>M</translation>
    </message>
    <message>
        <source>Sound off or on</source>
        <translation>Ton aus oder an</translation>
    </message>
    <message>
        <source>F11</source>
        <translation>F11</translation>
    </message>
    <message>
        <source>Full screen or window</source>
        <translation>Vollbild oder Fenster</translation>
    </message>
</context>
</TS>
