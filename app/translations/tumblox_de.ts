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
</TS>
