#include "scenario/documents.h"

namespace scenario {
namespace {

// The timetable card, page 1 of the train's two: a header of two bands of boxes, then the
// timetable, one row per point of the line in running order. Row cells, by character (from 1):
// speeds 4-8 and 10-14, kilometre 16-22, line diagram 24-29, name 31-48 (30-48 for tunnel
// entrances and protection signals), time 50-64, stop in minutes 66-68, right-track speed 70-75,
// signal symbols 77-95. Stops with an arrival and a departure have their name filled with points.
// Times of stops are the train's departures; times of stations passed without a stop lie between
// their neighbours'. The halt of Ronco Alto, where this train neither stops nor is timed, is left
// out.
constexpr std::string_view kCard[] = {
    "",
    "",
    "  ___________________      ___________________                           _______________________",
    " |  Fascicolo Linee  |    |      Treno        |                         | Sigla di Composizione |",
    " |     Valsorena     |    |     5521/5522     |     Scheda n° 1/2       |        VS130 C        |",
    " |___________________|    |___________________|                         |          95%          |",
    " |     Validità      |    |  Termine Scheda   |     Da: Morvella C.     |_______________________|",
    " | Dal: 30.09.2001   |    | DRASCONA SCALO    |     A: Drascona C.                               ",
    " |___________________|    |___________________|                          _______________________",
    "  ______________________ _____________________                          | Int. alla Sigla |     |",
    " | Classificazione      | Massa Bloccata      |                         |     ALn 668     |     | ",
    " |         R            |      1 ALn          |                         |  3000/3100/3200 |     | ",
    " |______________________|_____________________|                         |_________________|_____|",
    "   ____________________________________________________________________________________________",
    "  | Vel.| Vel.|  Prog                           |               |Rec|Bin.Dx|SRS| Simbologia|SRS| ",
    "  | Max.|Marc.|   Km.           Localita'       |     Orario    |   |V. Max| SX|           | DX|",
    "  |_____|_____|_________________________________|_______________|___|______|___|___________|___| ",
    "  |  30 |  30 |  0.000 |___|  MORVELLA C.LE     |         19.20 |   |      |                   |",
    "  | 140 | 125 |  0.900 /| |   Dev.U.            |               |   |  /   |                   |",
    "  |     |     |  4.200  |\\|   SAN VITORE........| 19.24   19.25 |0.5|      |                   |",
    "  |     |     |  8.250  |/|   QUERVANO          |     19.28     |   |      |                   |",
    "  |     |     | 12.900  |\\|   CASTELMORRO.......| 19.31   19.32 |0.5|      |                   |",
    "  | 135 |     | 18.300  |/|   Sorvalda..........| 19.38   19.39 |0.5|      |                   |",
    "  | 125 |     | 22.600  |\\|   VIGNALTA          |     19.42     |   |      |                   |",
    "  |     |     | 27.800  |/|   BRENZOLA..........| 19.45   19.46 |1.0|      |                   |",
    "  | 130 |     | 38.500  |\\|   LORSANO...........| 19.53   19.54 |1.0|      |                   |",
    "  |  60 |  60 |         |/|  Seg.Prot. CERVENA  |               |   |      |                   | ",
    "  |  30 |  30 | 44.300  |\\|   CERVENA...........| 19.59   20.00 |1.0|  30  |         4         |",
    "  |  95 |  95 | 49.600  |     FONTANILE         |     20.05     |   |      |                   |",
    "  |     |     | 54.200  |     Pescolla..........| 20.10   20.11 |0.5|      |                   |",
    "  |  80 |  80 | 60.100  |     MONTEFRASSO.......| 20.16   20.17 |1.0|      |                   |",
    "  |     |     | 62.300  |    Imb.G. Montefrasso |               |   |      |                   | ",
    "  |     |     | 65.900  |     SELVANERA         |     20.21     |   |      |                   |",
    "  |     |     |         |    Seg.Prot. GRANVILLA|               |   |      |                   | ",
    "  |     |     | 70.400  |     GRANVILLA         | 20.26 M 20.27 |1.0|  60  |         4         |",
    "  |  90 |  90 | 76.200   \\    Colombara.........| 20.32   20.33 |0.5|      |                   |",
    "  |     |     | 81.000    |   ROCCAFONTE        |     20.37     |   |      |                   |",
    "  |  85 |  85 | 87.300    |   FORNACI DI LEVA...| 20.41   20.42 |0.5|      |                   |",
    "  |     |     | 94.900    |   ROVESCA...........| 20.49   20.50 |1.0|      |                   |",
    "  |     |     |100.300    |   BORGO TAVERNE     |     20.55     |   |      |                   |",
    "  |     |     |105.800    |  Imb.G. Montorsaio  |               |   |      |                   | ",
    "  |     |     |107.200    |   VALDORIA..........| 21.00   21.01 |0.5|      |                   |",
    "  |     |     |116.400    |   CAMPORSO..........| 21.09   21.10 |1.0|  60  |         4         |",
    "  |     |     |125.750    \\|  DRASCONA SCALO    |     21.23     |   |      |                   |",
    "  |_____|_____|_________________________________|_______________|___|______|___________________|",
    "",
    kEndMarker,
};

// The slowdown order: the three slowdowns of the train, each between the stations on either side
// of it, in cells of 3, 28, 12, 10, 9 and 12 characters from character 3.
constexpr std::string_view kOrder[] = {
    "                               Modulo M. 3",
    "                           ORDINE DI RALLENTAMENTO",
    " ________________________________________________________________________________",
    "  Linea  Morvella C.le - Drascona C.   ",
    "",
    "  Si ordina al macchinista del treno 5521/5522 di effettuare i seguenti rallentamenti",
    "  _______________________________________________________________________________",
    " |   |                            |Inizio dopo |          |         |            |",
    " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|",
    " |   |   (o nelle Stazioni di)    |chilometrico|          |   metri | specifiche |",
    " |___|____________________________|____________|__________|_________|____________|",
    " |01 | MONTEFRASSO      SELVANERA |      64    |   50     |   200   |A-H         |",
    " |02 | FORNACI DI L       ROVESCA |      91    |   40     |    50   |H           |",
    " |03 | BORGO TAVERN      VALDORIA |     102    |   30     |    50   |I           |",
    " |* *|* * * * * * * * * * * * * * |* * * * * * |* * * * * |* * * * *|* * * * * * |",
    " |* *|* * * * * * * * * * * * * * |* * * * * * |* * * * * |* * * * *|* * * * * * |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |   |                            |            |          |         |            |",
    " |___|____________________________|____________|__________|_________|____________|",
    "",
    "              Prescrizioni specifiche",
    " A - Da rispettare con tutto il treno (per i treni viaggiatori)",
    " B - Interessa anche la stazione di.......",
    " D - Rallentamneto N. ... e N. ...  sono contigui",
    " C - Da rispettare dalle ore ....  alle ore ..... di tutti",
    "     i giorni esclusi i seguenti:.........",
    kEndMarker,
};

// The notes: the line, its stretches and signalling, the train and who wrote the scenario.
constexpr std::string_view kNotes[] = {
    "      Regione Valsorena",
    "Linea Morvella Centrale - Drascona Centrale.",
    "",
    "La linea è lunga circa 126 km; la progressiva chilometrica parte da zero sull'asse del "
        "fabbricato viaggiatori di Morvella Centrale e cresce verso Drascona, dove il nostro percorso "
        "termina a Drascona Scalo, l'ultima stazione prima di Drascona Centrale.",
    "Il tratto migliore è quello fra Morvella Centrale e Lorsano: doppio binario banalizzato, cioè "
        "percorribile nei due sensi su entrambi i binari, con un tracciato quasi tutto in rettifilo o in "
        "curve di ampio raggio, che per lunghi tratti permette di viaggiare a 140 km/h;",
    "il traffico è intenso, con treni regionali, merci e qualche diretto per la costa, per cui non "
        "stupitevi di trovare un segnale a via impedita anche in piena linea.",
    "Fino al bivio Dev.U. (km 0,900) i binari sono in comune con la linea per Ostrale; da Lorsano a "
        "Cervena il doppio binario non è più banalizzato, e a Cervena comincia il semplice binario: alla "
        "diramazione del km 45,700 il nostro treno prende il ramo deviato per Pescolla a 30 km/h, mentre "
        "la linea di corsa per Valmora prosegue diritta a 60 km/h. Così dopo la diramazione la velocità "
        "risale a 95 km/h e poi, fra le colline, varia fra 80 e 90 km/h.",
    "Dopo Cervena il paesaggio cambia: la ferrovia lascia la pianura e risale la valle del torrente "
        "Sorva fra fitti boschi di castagni, vigneti e piccoli borghi in pietra; superata la diramazione "
        "per Valmora, si incontrano la galleria di Montefrasso, lunga 1.592 metri, e poco dopo Borgo "
        "Taverne la galleria di Montorsaio, lunga 6.478 metri, la più lunga della regione, con la "
        "fermata di Valdoria in sotterraneo, che sbuca lì dove la valle si apre verso Drascona.",
    "A Drascona Scalo il nostro percorso finisce: il treno prosegue poi per Drascona Centrale con il "
        "cambio di banco, dato che in stazione si entra su un binario tronco; la seconda scheda del "
        "treno descrive quell'ultimo breve tratto.",
    "La planimetria è il più reale possibile, la posizione delle stazioni,P.L.,segnali, gallerie, F, "
        "corrispondono alla realtà.",
    "Linea Morvella C.le - Dev.U.       Blocco elettrico automatico a correnti codificate senza "
        "ripetizione dei segnali in macchina, doppio binario banalizzato",
    "Linea Dev.U. - Lorsano             Blocco elettrico automatico a correnti codificate senza "
        "ripetizione dei segnali in macchina, doppio binario banalizzato",
    "Linea Lorsano - Cervena            Blocco elettrico automatico a correnti codificate senza "
        "ripetizione dei segnali in macchina, doppio binario non banalizzato",
    "Linea Cervena - Drascona Scalo     Blocco elettrico conta assi, semplice binario",
    "",
    "Treno Simulato:",
    "R 5521 Morvella C.-Drascona C.",
    "Il nostro treno è composto da 2 ALn 668 gr.3000 a volte può capitare che siano 2 del gr.1600.",
    "E' un treno che effettua tutte le fermate, viaggia pieno di pendolari che rientrano dal lavoro.",
    "Fate attenzione alle tre fermate sprovviste di segnali.",
    "Il treno è affidato ai macchinisti del deposito locomotive di Morvella Centrale, che lo "
        "conducono fino a Drascona.",
    "Sono graditi consigli e suggerimenti. Buon lavoro.",
    "",
    "                                        Tommaso Ferrandi",
    "                                        Lavezzano",
    "                                        tommaso.ferrandi@example.org",
    "",
    "",
    kEndMarker,
};

}  // namespace

LineTable timetable_card_table() { return kCard; }
LineTable slowdown_order_table() { return kOrder; }
LineTable notes_table() { return kNotes; }

}  // namespace scenario
