<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fi_FI">
<context>
    <name>BlockDropWindow</name>
    <message>
        <source>&amp;New Game</source>
        <translation>&amp;Uusi peli</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Lopeta</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Tauko</translation>
    </message>
    <message>
        <source>&amp;Left</source>
        <translation>&amp;Vasen</translation>
    </message>
    <message>
        <source>&amp;Right</source>
        <translation>&amp;Oikea</translation>
    </message>
    <message>
        <source>&amp;Drop</source>
        <translation>&amp;Pudota</translation>
    </message>
    <message>
        <source>&amp;Rotate</source>
        <translation>&amp;Kierrä</translation>
    </message>
    <message>
        <source>&amp;Down</source>
        <translation>&amp;Alas</translation>
    </message>
    <message>
        <source>SCORE</source>
        <translation>PISTEET</translation>
    </message>
    <message>
        <source>LEVEL</source>
        <translation>TASO</translation>
    </message>
    <message>
        <source>TIME LEFT</source>
        <translation>AIKAA JÄLJELLÄ</translation>
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
        <translation>Ladataan, odota hetki!</translation>
    </message>
    <message>
        <source>Quillo / the Tumblox developers
 Tumblox 
 v1.0.0 
 https://quillo.example/tumblox</source>
        <translation>Quillo / Tumbloxin kehittäjät
 Tumblox 
 v1.0.0 
 https://quillo.example/tumblox</translation>
    </message>
    <message>
        <source>Sound off (M)</source>
        <translation>Äänet pois (M)</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Tauko</translation>
    </message>
    <message>
        <source>Skip in</source>
        <translation>Ohitus</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>Ohita</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>Avaa</translation>
    </message>
</context>
</TS>
