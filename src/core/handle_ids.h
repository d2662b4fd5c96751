#pragma once
// Every fixed handle the game defines at start, by name: the one place where
// a fixed handle's number is written. Handles from FIRST_RUNTIME_HANDLE up
// are defined at run time and are not listed here; each library that defines
// them owns one block:
//   0x8000-0x80FF  character generation (undefined when a new game starts)
//   0x8400-0x843F  the world map's pictures (world_map.h)
//   0x8440-0x847F  animations over the view named by file (view_animation.h)
//   0x8500-0x853F  the book's pictures named by its texts (book_window.cpp)
//   0x8800-0x8FFF  wave files named by sound actions (game_sound.h)
//   0x9000-0xFFFF  the items' pictures and attack animations (item_pictures.h)
#include "core/handles.h"

// The static table of define_fixed_handles, by number.
constexpr handle_id H_DESK = 0;             // desk.pcx
constexpr handle_id H_TOPBAR = 1;           // topbar.pcx
constexpr handle_id H_OKNO = 2;             // okno.pcx
constexpr handle_id H_KOMPAS = 3;           // kompas.pcx
constexpr handle_id H_SIPKY_S = 4;          // sipky_s.pcx
constexpr handle_id H_SIPKY_V = 5;          // sipky_v.pcx
constexpr handle_id H_SIPKY_J = 6;          // sipky_j.pcx
constexpr handle_id H_SIPKY_Z = 7;          // sipky_z.pcx
constexpr handle_id H_SIPKY_SV = 8;         // sipky_sv.pcx
constexpr handle_id H_SIPKY_SZ = 9;         // sipky_sz.pcx
constexpr handle_id H_BACKMAP = 10;         // backmap.pcx
constexpr handle_id H_IOBLOUK = 11;         // ioblouk.pcx
constexpr handle_id H_IDESKA = 12;          // ideska.pcx
constexpr handle_id H_IMRIZ1 = 13;          // imriz1.pcx
constexpr handle_id H_RAMECEK = 14;         // ramecek.pcx
constexpr handle_id H_ENEMY = 15;           // enemy.dat
constexpr handle_id FONT_SADA16 = 16;       // sada16.fon
constexpr handle_id FONT_IKONES = 17;       // ikones.fon
constexpr handle_id FONT_4X8 = 18;          // font4x8.fon
constexpr handle_id FONT_5X8 = 19;          // font5x8.fon
constexpr handle_id FONT_6X9 = 20;          // font6x9.fon
constexpr handle_id FONT_SADA7 = 21;        // sada7.fon
constexpr handle_id FONT_TINY = 22;         // tiny.fon
constexpr handle_id FONT_KNIHA = 23;        // kniha.fon
constexpr handle_id H_KOUZLA = 24;          // kouzla.dat
constexpr handle_id H_POWERBAR = 25;        // powerbar.pcx
constexpr handle_id H_POWERLED = 26;        // powerled.pcx
constexpr handle_id H_LODKA = 27;           // lodka.pcx
constexpr handle_id H_SOUBOJE = 33;         // souboje.pcx
constexpr handle_id H_M_SOUBOJ = 34;        // m_souboj.pcx
constexpr handle_id H_MZASAH1 = 35;         // mzasah1.pcx
constexpr handle_id H_MZASAH2 = 36;         // mzasah2.pcx
constexpr handle_id H_MZASAH3 = 37;         // mzasah3.pcx
constexpr handle_id H_PZASAH = 38;          // pzasah.pcx
constexpr handle_id H_SOUBOJE2 = 39;        // souboje2.pcx
constexpr handle_id H_SIPKY = 40;           // sipky.pcx
constexpr handle_id H_DEATH = 41;           // death.pcx
constexpr handle_id H_BONES = 42;           // bones.pcx
constexpr handle_id H_KNIHA = 43;           // kniha.pcx
constexpr handle_id H_WINTXTR = 45;         // wintxtr.pcx
constexpr handle_id H_SAVELOAD = 46;        // saveload.pcx
constexpr handle_id H_SVITEK = 47;          // svitek.pcx
constexpr handle_id H_LOADTXTR = 48;        // loadtxtr.pcx
constexpr handle_id H_DIALOGY = 49;         // dialogy.dat
constexpr handle_id H_DIALOG = 50;          // dialog.pcx
constexpr handle_id H_MSC_SIP = 51;         // msc_sip.pcx
constexpr handle_id H_MSC_X = 52;           // msc_x.pcx
constexpr handle_id H_MSC_WHO = 53;         // msc_who.pcx
constexpr handle_id H_MSC_ZARE = 55;        // msc_zare.pcx
constexpr handle_id H_RUNEHOLE = 68;        // runehole.pcx
constexpr handle_id H_RUNEMASK = 69;        // runemask.pcx
constexpr handle_id H_POSTAVY = 76;         // postavy.dat
constexpr handle_id H_SOUND_TABLE = 77;     // sound.dat
constexpr handle_id H_SOUND_SWD_HIT0 = 78;  // swd_hit0.wav
constexpr handle_id H_SOUND_SWD_HIT1 = 79;  // swd_hit1.wav
constexpr handle_id H_SOUND_SWD_MIS0 = 80;  // swd_mis0.wav
constexpr handle_id H_SOUND_SWD_MIS1 = 81;  // swd_mis1.wav
constexpr handle_id H_SOUND_SIP2 = 82;      // sip2.wav
constexpr handle_id H_SOUND_SIP1 = 83;      // sip1.wav
constexpr handle_id H_SOUND_KNIHA = 84;     // kniha.wav
constexpr handle_id H_SOUND_OBCHOD = 85;    // obchod.wav
constexpr handle_id H_SOUND_LEKTVAR = 86;   // lektvar.wav
constexpr handle_id H_SOUND_TELEPIN = 87;   // telepin.wav
constexpr handle_id H_SOUND_TELEPOUT = 88;  // telepout.wav
constexpr handle_id H_SOUND_JAUU1M = 89;    // jauu1m.wav
constexpr handle_id H_SOUND_JAUU2M = 90;    // jauu2m.wav
constexpr handle_id H_SOUND_JAUU1F = 91;    // jauu1f.wav
constexpr handle_id H_SOUND_JAUU2F = 92;    // jauu2f.wav
constexpr handle_id H_SOUND_JIDLO = 93;     // jidlo.wav
constexpr handle_id H_SOUND_OBLECI = 94;    // obleci.wav
constexpr handle_id H_SOUND_PUT_INV = 95;   // put_inv.wav
constexpr handle_id H_R_OHEN = 100;         // r_ohen.pcx
constexpr handle_id H_R_VODA = 101;         // r_voda.pcx
constexpr handle_id H_R_ZEME = 102;         // r_zeme.pcx
constexpr handle_id H_R_VZDUCH = 103;       // r_vzduch.pcx
constexpr handle_id H_R_MYSL = 104;         // r_mysl.pcx
constexpr handle_id H_SPELLDEF = 105;       // spelldef.pcx
constexpr handle_id H_TELEPORT = 108;       // teleport.mgf
constexpr handle_id H_SHOP = 125;           // shop.pcx
constexpr handle_id H_FX = 143;             // fx.pcx
constexpr handle_id H_CHECKBOX = 154;       // checkbox.pcx
constexpr handle_id H_VOLBADES = 155;       // volbades.pcx
constexpr handle_id H_VOLBASOU = 156;       // volbasou.pcx
constexpr handle_id H_VOLBAZPE = 157;       // volbazpe.pcx
constexpr handle_id H_POSTUP = 158;         // postup.pcx
constexpr handle_id H_LESDA21A = 159;       // lesda21a.pcx
constexpr handle_id H_LESDA22A = 160;       // lesda22a.pcx
constexpr handle_id H_LESDA23A = 161;       // lesda23a.pcx
constexpr handle_id H_LESDA24A = 162;       // lesda24a.pcx
constexpr handle_id H_LESDA25A = 163;       // lesda25a.pcx
constexpr handle_id H_LESDA26A = 164;       // lesda26a.pcx
constexpr handle_id H_LESDA27A = 165;       // lesda27a.pcx
constexpr handle_id H_LESDA28A = 166;       // lesda28a.pcx
constexpr handle_id H_SOUND_FLETNA = 167;   // fletna.wav
constexpr handle_id H_STUPNICE = 168;       // stupnice.pcx
constexpr handle_id H_STUPNI_M = 169;       // stupni_m.pcx
constexpr handle_id H_SOUND_SEVER = 170;    // sever.wav
constexpr handle_id H_SOUND_VYCHOD = 171;   // vychod.wav
constexpr handle_id H_SOUND_JIH = 172;      // jih.wav
constexpr handle_id H_SOUND_ZAPAD = 173;    // zapad.wav
constexpr handle_id H_SOUND_RANDOM1 = 174;  // random1.wav
constexpr handle_id H_SOUND_RANDOM2 = 175;  // random2.wav
constexpr handle_id H_SOUND_RANDOM3 = 176;  // random3.wav
constexpr handle_id H_SOUND_RANDOM4 = 177;  // random4.wav
constexpr handle_id FONT_TIMESE = 178;      // timese.fon
constexpr handle_id H_CHARGEN = 179;        // chargen.pcx
constexpr handle_id H_CHARGENB = 180;       // chargenb.pcx
constexpr handle_id H_CHARGENM = 181;       // chargenm.pcx
constexpr handle_id H_EMPTY_PICTURE = 182;  // no data
constexpr handle_id H_KREVMIN = 183;        // krevmin.pcx
constexpr handle_id H_KREVMID = 184;        // krevmid.pcx
constexpr handle_id H_KREVMAX = 185;        // krevmax.pcx
constexpr handle_id H_GLOBMAP = 200;        // globmap.dat
// Defined after the table: the party bar, drawn by its decoder.
constexpr handle_id H_PANEL = 66;

// Groups of numbered pictures defined after the table ("TELEP00.PCX" ...).
constexpr handle_id H_TELEP_FIRST = 129;
constexpr int H_TELEP_COUNT = 14;
constexpr handle_id H_KILL_FIRST = 144;
constexpr int H_KILL_COUNT = 10;
constexpr handle_id H_ARMA_FIRST = 186;
constexpr int H_ARMA_COUNT = 13;
// The party members' faces, one handle per party slot ("XICHT%02x.PCX" of the
// member's portrait number), bound by the party bar.
constexpr handle_id H_FACE_FIRST = 112;
constexpr int H_FACE_COUNT = 6;
// The party members' figures as the view shows them, one handle per party
// slot; empty names, their decoder builds the picture from the member.
constexpr handle_id H_FIGURE_FIRST = 60;
constexpr int H_FIGURE_COUNT = 6;

// The mouse cursor shown when nothing else asks for one.
constexpr handle_id DEFAULT_CURSOR = H_MSC_SIP;
