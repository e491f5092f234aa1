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
    <message>
        <source>&amp;Resume</source>
        <translation>&amp;Jatka</translation>
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
<context>
    <name>GameModeMenu</name>
    <message>
        <source>&amp;Score mode</source>
        <translation>&amp;Pistepeli</translation>
    </message>
    <message>
        <source>&amp;Line mode</source>
        <translation>&amp;Rivipeli</translation>
    </message>
    <message>
        <source>&amp;Timer mode</source>
        <translation>&amp;Aikapeli</translation>
    </message>
</context>
<context>
    <name>KeyHelpOverlay</name>
    <message>
        <source>Left, Right</source>
        <translation>Nuoli vasemmalle, oikealle</translation>
    </message>
    <message>
        <source>Move the bar</source>
        <translation>Siirrä palkkia</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Nuoli ylös</translation>
    </message>
    <message>
        <source>Cycle the colours</source>
        <translation>Kierrätä värejä</translation>
    </message>
    <message>
        <source>D</source>
        <translation>D</translation>
    </message>
    <message>
        <source>One row down</source>
        <translation>Rivi alaspäin</translation>
    </message>
    <message>
        <source>Space, keypad Enter</source>
        <translation>Välilyönti, numeronäppäimistön Enter</translation>
    </message>
    <message>
        <source>Drop the bar</source>
        <translation>Pudota palkki</translation>
    </message>
    <message>
        <source>H</source>
        <translation>H</translation>
    </message>
    <message>
        <source>Hold the bar</source>
        <translation>Pane palkki sivuun</translation>
    </message>
    <message>
        <source>P, Esc</source>
        <translation>P, Esc</translation>
    </message>
    <message>
        <source>Pause or resume</source>
        <translation>Tauko tai jatka</translation>
    </message>
    <message>
        <source>1, 2, 3</source>
        <translation>1, 2, 3</translation>
    </message>
    <message>
        <source>New score, line or timer game</source>
        <translation>Uusi piste-, rivi- tai aikapeli</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>This help</source>
        <translation>Tämä ohje</translation>
    </message>
    <message>
        <source>D-pad, left stick</source>
        <translation>Ristiohjain, vasen sauva</translation>
    </message>
    <message>
        <source>Move; down: one row down</source>
        <translation>Siirrä; alas: rivi alaspäin</translation>
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
        <translation>Näppäimet</translation>
    </message>
    <message>
        <source>Gamepad</source>
        <translation>Peliohjain</translation>
    </message>
    <message>
        <source>Any key or click closes this help.</source>
        <translation>Mikä tahansa näppäin tai napsautus sulkee ohjeen.</translation>
    </message>
    <message>
        <source>M</source>
        <translation>M</translation>
    </message>
    <message>
        <source>Sound off or on</source>
        <translation>Äänet pois tai päälle</translation>
    </message>
    <message>
        <source>F11</source>
        <translation>F11</translation>
    </message>
    <message>
        <source>Full screen or window</source>
        <translation>Koko näyttö tai ikkuna</translation>
    </message>
</context>
</TS>
