-- Quenta reference database: schema.
--
-- The database is read-only at run time; quenta.db is built from this schema and the
-- reference data loaded after it. Conventions the program relies on:
--   * Booleans are INTEGER 0/1, so that "Flag=true" in a query matches (true reads as 1).
--   * Curve texts (Bezier or polyline points separated by "\") are TEXT.
--   * Most lookup tables carry an ID key and a Display text; lists show Display and the
--     item document stores it, so lookups come back by Display.
--   * Rows without an ORDER BY come back in table order, i.e. ascending ID: unit lists,
--     fluid lists and rating curves depend on that order.
--   * Several queries join tables and read columns by name; where two joined tables share
--     a column name the first one in the result wins. Column names are chosen so that the
--     column a caller means is always the first of its name (notes at the tables).

PRAGMA foreign_keys = OFF;

------------------------------------------------------------------------------------------
-- Units. One table per quantity; a unit is identified by its Name. Each table holds a row
-- for the calculation unit with Multiply 1 (Offset 0, Gauge and flow flags false).
------------------------------------------------------------------------------------------

-- Temperature units: Kelvin = value * Multiply + Offset.
CREATE TABLE UnitsT (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1,
    Offset   REAL NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX UnitsT_Name ON UnitsT (Name);

-- Pressure units: kPa = value * Multiply (plus the atmospheric pressure for gauge units).
-- DifferentialName labels a pressure difference in this unit, GaugeName the gauge form.
CREATE TABLE UnitsP (
    ID               INTEGER PRIMARY KEY,
    Name             TEXT NOT NULL,
    Multiply         REAL NOT NULL DEFAULT 1,
    Gauge            INTEGER NOT NULL DEFAULT 0,
    DifferentialName TEXT,
    GaugeName        TEXT
);
CREATE UNIQUE INDEX UnitsP_Name ON UnitsP (Name);

-- Flow units: m3/hr = value * Multiply, through the density for mass units and through
-- the flowing pressure and temperature for standard or normal conditions. The two
-- suitability flags decide which process pages offer the unit.
CREATE TABLE UnitsQ (
    ID                INTEGER PRIMARY KEY,
    Name              TEXT NOT NULL,
    Multiply          REAL NOT NULL DEFAULT 1,
    MassFlow          INTEGER NOT NULL DEFAULT 0,
    StandardCondition INTEGER NOT NULL DEFAULT 0,
    NormalCondition   INTEGER NOT NULL DEFAULT 0,
    LiquidSuitable    INTEGER NOT NULL DEFAULT 0,
    GasSuitable       INTEGER NOT NULL DEFAULT 0
);
CREATE UNIQUE INDEX UnitsQ_Name ON UnitsQ (Name);

-- The simple unit tables: value in unit = value in calculation unit * Multiply.

-- Density units (calculation unit kg/m3).
CREATE TABLE UnitsRho (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsRho_Name ON UnitsRho (Name);

-- Kinematic viscosity units (calculation unit m2/s).
CREATE TABLE UnitsNu (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsNu_Name ON UnitsNu (Name);

-- Power units (calculation unit kW).
CREATE TABLE UnitsPower (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsPower_Name ON UnitsPower (Name);

-- Velocity units (calculation unit m/s).
CREATE TABLE UnitsVelocity (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsVelocity_Name ON UnitsVelocity (Name);

-- Flow capacity units (calculation unit Cv).
CREATE TABLE UnitsFlowCapacity (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsFlowCapacity_Name ON UnitsFlowCapacity (Name);

-- Force units (calculation unit N).
CREATE TABLE UnitsForce (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsForce_Name ON UnitsForce (Name);

-- Distance units (calculation unit mm).
CREATE TABLE UnitsDist (
    ID       INTEGER PRIMARY KEY,
    Name     TEXT NOT NULL,
    Multiply REAL NOT NULL DEFAULT 1
);
CREATE UNIQUE INDEX UnitsDist_Name ON UnitsDist (Name);

------------------------------------------------------------------------------------------
-- Fluids. Property tables are curve texts against temperature in K; values in kg/m3,
-- Pa.s, kPa(a) and m/s.
------------------------------------------------------------------------------------------

-- Catalogue list of the fluids known to the installation.
CREATE TABLE Fluids (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Liquids: critical constants and property curves against temperature.
CREATE TABLE Liquid (
    ID               INTEGER PRIMARY KEY,
    Name             TEXT NOT NULL COLLATE NOCASE,  -- lists sort as people read them
    CriticalT        REAL NOT NULL,         -- K
    CriticalP        REAL NOT NULL,         -- kPa(a)
    DynViscTable     TEXT NOT NULL,         -- Pa.s against K
    VapourPressTable TEXT NOT NULL,         -- kPa(a) against K
    DensityTable     TEXT NOT NULL,         -- kg/m3 against K
    SoundSpeedTable  TEXT NOT NULL          -- m/s against K
);
CREATE UNIQUE INDEX Liquid_Name ON Liquid (Name);

-- Gases: critical constants, specific heat ratio, molar mass, and viscosity and vapour
-- pressure either as a constant value (flag false) or as a curve against K (flag true).
CREATE TABLE Gas (
    ID                INTEGER PRIMARY KEY,
    Name              TEXT NOT NULL COLLATE NOCASE,  -- lists sort as people read them
    CriticalT         REAL NOT NULL,        -- K
    CriticalP         REAL NOT NULL,        -- kPa(a)
    SpecificHeatRatio REAL NOT NULL,
    MolarMass         REAL NOT NULL,        -- kg/kmol
    DynViscValue      REAL,                 -- Pa.s
    DynViscFlag       INTEGER NOT NULL DEFAULT 0,
    DynViscTable      TEXT,
    VapourPressValue  REAL,                 -- kPa(a)
    VapourPressFlag   INTEGER NOT NULL DEFAULT 0,
    VapourPressTable  TEXT
);
CREATE UNIQUE INDEX Gas_Name ON Gas (Name);

------------------------------------------------------------------------------------------
-- Valve catalogue.
------------------------------------------------------------------------------------------

-- Valve sizes. Nominal is the nominal size in mm used as the valve diameter.
CREATE TABLE VlvSize (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    Nominal REAL NOT NULL
);

-- Pressure ratings (class names); ordered by ID from lowest to highest.
CREATE TABLE PRating (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Body bore per size and rating. ID is the bore itself in mm (read as ActualDiameter or
-- ValveID), not a key; the row is identified by its size and rating.
-- PRating_Ref must stay unique to this table among the valve query's tables: that query
-- names it without a table prefix.
CREATE TABLE VlvID (
    ID          REAL NOT NULL,
    VlvSize_Ref INTEGER NOT NULL,
    PRating_Ref INTEGER NOT NULL,
    PRIMARY KEY (VlvSize_Ref, PRating_Ref)
);

-- Valve types. Actuator is "Linear" for types that take a linear actuator; Picture and
-- Description name files in the program folder ("<none>" for none).
CREATE TABLE ValveType (
    ID          INTEGER PRIMARY KEY,
    Display     TEXT NOT NULL,
    Actuator    TEXT,
    Picture     TEXT,
    Description TEXT
);

-- Trims, with their picture and description files.
CREATE TABLE ValveTrim (
    ID          INTEGER PRIMARY KEY,
    Display     TEXT NOT NULL,
    Picture     TEXT,
    Description TEXT
);

-- Flow directions ("Over", "Under").
CREATE TABLE ValveFlowDirn (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Obturators (plug kinds) that characteristics belong to.
CREATE TABLE ValveObturator (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Flow characteristics per obturator: the default curve (Bezier text, one segment per
-- trim section), whether the engineer may edit it, and a picture file.
CREATE TABLE ValveChar (
    ID           INTEGER PRIMARY KEY,
    Display      TEXT NOT NULL,
    Obturator    INTEGER NOT NULL,          -- ValveObturator.ID
    Picture      TEXT,
    EditableChar INTEGER NOT NULL DEFAULT 0,
    DefaultChar  TEXT
);

-- Valid combinations of type, trim, flow direction and characteristic, with their
-- suitability per analysis type; feeds the cascading choice lists of the wizard.
-- ComboTrim marks a combination whose trim combines a cavitation-control section.
-- The Suitable flags must not appear in ValveChar or ValveTrim: queries joining those
-- tables with this one name them without a table prefix.
CREATE TABLE ValveSpecs (
    ID               INTEGER PRIMARY KEY,
    VlvTypeID        INTEGER NOT NULL,      -- ValveType.ID
    VlvType          TEXT NOT NULL,
    VlvTrimID        INTEGER NOT NULL,      -- ValveTrim.ID
    VlvTrim          TEXT NOT NULL,
    VlvFlowDirnID    INTEGER NOT NULL,      -- ValveFlowDirn.ID
    VlvFlowDirn      TEXT NOT NULL,
    VlvCharID        INTEGER NOT NULL,      -- ValveChar.ID
    VlvChar          TEXT NOT NULL,
    ComboTrim        INTEGER NOT NULL DEFAULT 0,
    LiquidSuitable   INTEGER NOT NULL DEFAULT 0,
    GasSuitable      INTEGER NOT NULL DEFAULT 0,
    TwoPhaseSuitable INTEGER NOT NULL DEFAULT 0
);
CREATE INDEX ValveSpecs_Choice ON ValveSpecs (VlvType, VlvTrim, VlvFlowDirn, VlvChar);

-- The valve catalogue: one row per model, size, rating and trim build. Curves are texts
-- over relative travel (Fl, Fd, xt, Characteristic) or over pressure ratio (DeltaLF,
-- dLwG). Cv and ComboTrimCv are rated Cv at full travel; powers in kW; lengths in mm.
-- The sizing query reads this table as Valves.* followed by computed columns MaxCv,
-- VlvSizeDisplay, VlvSizeNominal, ActualDiameter and Actuator; none of those names may be
-- a column here, or the catalogue column would win over the computed one.
-- The Suitable flags live here only among the sizing query's tables (named there
-- without a table prefix).
CREATE TABLE Valves (
    ID               INTEGER PRIMARY KEY,
    Name             TEXT NOT NULL,         -- model name
    ValveSize        INTEGER NOT NULL,      -- VlvSize.ID and VlvID.VlvSize_Ref
    VlvTypeID        INTEGER NOT NULL,      -- ValveType.ID
    VlvTrimID        INTEGER NOT NULL,      -- ValveTrim.ID
    VlvFlowDirnID    INTEGER NOT NULL,      -- ValveFlowDirn.ID
    VlvObturatorID   INTEGER NOT NULL,      -- ValveObturator.ID
    PRatingID        INTEGER NOT NULL,      -- PRating.ID and VlvID.PRating_Ref
    LiquidSuitable   INTEGER NOT NULL DEFAULT 0,
    GasSuitable      INTEGER NOT NULL DEFAULT 0,
    TwoPhaseSuitable INTEGER NOT NULL DEFAULT 0,
    UpStop           INTEGER NOT NULL DEFAULT 0,  -- candidate for the first auto-size pass
    Cv               REAL NOT NULL,
    ComboTrimCv      REAL,
    Diameter         REAL,                  -- nominal diameter, mm
    Characteristic   TEXT,                  -- "<user defined>" means the item's own curve
    Fl               TEXT,
    Fd               TEXT,
    xt               TEXT,
    FiFactor         REAL,
    Stages           INTEGER NOT NULL DEFAULT 0,  -- 0 standard, 255 multi-stage
    LiquidPower      REAL,
    GasPower         REAL,
    EtaF             REAL,
    DeltaLF          TEXT,
    ldRatio          REAL,
    Cn               TEXT,
    Fdn              REAL,
    Fln              REAL,
    dLwG             TEXT,
    StdAct           TEXT,                  -- standard actuator size, Act_Sizes.Display
    Stroke           REAL,
    SeatDia          REAL,
    StemDia          REAL,
    PBStemDia        REAL,
    PBSleeveDia      REAL
);
CREATE INDEX Valves_SizeCv ON Valves (ValveSize, Cv);

-- Body materials and the group whose rating curves apply; temperature limits in K.
CREATE TABLE BodyMaterial (
    ID               INTEGER PRIMARY KEY,
    Name             TEXT NOT NULL,
    MinTemp          REAL NOT NULL,
    MaxTemp          REAL NOT NULL,
    BodyMatGroup_Ref INTEGER NOT NULL
);
CREATE INDEX BodyMaterial_Name ON BodyMaterial (Name);

-- Pressure-temperature rating curves per material group and rating: allowed pressure in
-- kPa(a) against temperature in K (polyline text). Rows of a group in ascending rating.
CREATE TABLE BodyMatRating (
    ID               INTEGER PRIMARY KEY,
    BodyMatGroup_Ref INTEGER NOT NULL,
    PRating_Ref      INTEGER NOT NULL,      -- PRating.ID
    Curve            TEXT NOT NULL
);
CREATE INDEX BodyMatRating_Group ON BodyMatRating (BodyMatGroup_Ref);

------------------------------------------------------------------------------------------
-- Pipes.
------------------------------------------------------------------------------------------

-- Nominal pipe sizes. Nominal orders the sizes and bounds the diffuser line sizes.
-- Display and Nominal must stay unique to this table in the diffuser queries (Display is
-- named there without a table prefix, and callers read both by name).
CREATE TABLE Pipe_Sizes (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    Nominal REAL NOT NULL
);

-- Pipe schedules ("Sched 40", ...).
CREATE TABLE pipe_schedules (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Pipe dimensions per size and schedule (mm), with the pipe attenuation in dB used by
-- the simple noise methods for liquid and gas.
CREATE TABLE pipe_data (
    ID              INTEGER PRIMARY KEY,
    pipesizeid      INTEGER NOT NULL,       -- Pipe_Sizes.ID
    scheduleid      INTEGER NOT NULL,       -- pipe_schedules.ID
    InsideDiameter  REAL NOT NULL,
    OutsideDiameter REAL NOT NULL,
    PipeAtten_Liq   REAL,
    PipeAtten_Gas   REAL
);
CREATE INDEX pipe_data_SizeSchedule ON pipe_data (pipesizeid, scheduleid);

------------------------------------------------------------------------------------------
-- Diffuser plates.
------------------------------------------------------------------------------------------

-- Diffuser plates per line size: rated Cv and constant Fl, Xt, Fd factors.
-- Always read joined with Pipe_Sizes ("select * from Diffusers, Pipe_Sizes"): the plate's
-- size text and nominal size come from Pipe_Sizes, so this table has no Display or
-- Nominal; both tables have ID and the first (this table's) wins, which no caller reads.
-- LineSize and Cv must not appear in Pipe_Sizes (named there without a table prefix).
CREATE TABLE Diffusers (
    ID          INTEGER PRIMARY KEY,
    PipeSizeID  INTEGER NOT NULL,           -- Pipe_Sizes.ID
    LineSize    REAL NOT NULL,
    Cv          REAL NOT NULL,
    Fl          REAL NOT NULL,
    Xt          REAL NOT NULL,
    Fd          REAL NOT NULL,
    Description TEXT
);
CREATE INDEX Diffusers_LineSize ON Diffusers (LineSize, Cv);

------------------------------------------------------------------------------------------
-- Multi-stage disk trims.
------------------------------------------------------------------------------------------

-- Disk-stack defaults per valve size: disk thickness and outer diameter, passages per
-- disk (default and limits) and the area-ratio limits in percent.
CREATE TABLE Trim_EDDisk (
    ID               INTEGER PRIMARY KEY,
    VlvSize_Id       INTEGER NOT NULL,      -- VlvSize.ID
    DefaultThickness REAL NOT NULL,
    OD               REAL NOT NULL,
    DefaultPassage   INTEGER NOT NULL,
    MinPassage       INTEGER NOT NULL,
    MaxPassage       INTEGER NOT NULL,
    Ratio1           REAL NOT NULL,
    Ratio2           REAL NOT NULL
);
CREATE INDEX Trim_EDDisk_VlvSize ON Trim_EDDisk (VlvSize_Id);

------------------------------------------------------------------------------------------
-- Actuators.
------------------------------------------------------------------------------------------

-- Fail actions ("Fail Closed", "Fail Open", ...).
CREATE TABLE Act_FailAction (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Shut-off classes with their seat loading factor SL. The highest class is the last row.
CREATE TABLE Act_ShutOffClass (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    SL      REAL NOT NULL DEFAULT 1
);

-- Seat materials with their seat loading factor SM. The soft seat is the last row.
CREATE TABLE Act_SeatMaterial (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    SM      REAL NOT NULL DEFAULT 1
);

-- Packing materials with their packing friction factor FM.
CREATE TABLE Act_PackingMaterial (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    FM      REAL NOT NULL DEFAULT 1
);

-- Actuator types; Action is "Single" or "Double" (shown followed by " Acting").
CREATE TABLE Act_Type (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    Action  TEXT NOT NULL
);

-- Actuator sizes: longest stroke in mm and piston areas above and below in cm2.
CREATE TABLE Act_Sizes (
    ID        INTEGER PRIMARY KEY,
    Display   TEXT NOT NULL,
    MaxStroke REAL NOT NULL,
    AreaAbove REAL NOT NULL,
    AreaBelow REAL NOT NULL
);

-- Springs: maximum (compressed) spring force in N and rate in N/mm.
CREATE TABLE Act_Springs (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL,
    Force   REAL NOT NULL,
    Rate    REAL NOT NULL DEFAULT 0
);

-- Actuator models: one row per type, size, spring and fail action.
-- Read as "Actuators.*, ..., Act_Sizes.*, ..., Act_Springs.*": all three tables have ID and
-- Display, and Actuators comes first, so ID and Display (the model name) are this
-- table's. Action, AreaAbove, AreaBelow, MaxStroke, Force and Rate must not be columns
-- here.
CREATE TABLE Actuators (
    ID           INTEGER PRIMARY KEY,
    Display      TEXT NOT NULL,
    ActTypeId    INTEGER NOT NULL,          -- Act_Type.ID
    ActSizeId    INTEGER NOT NULL,          -- Act_Sizes.ID
    SpringId     INTEGER NOT NULL,          -- Act_Springs.ID
    FailActionId INTEGER NOT NULL           -- Act_FailAction.ID
);
CREATE INDEX Actuators_FailAction ON Actuators (FailActionId);

-- Picture files (paths relative to the program folder).
CREATE TABLE Act_Pictures (
    ID       INTEGER PRIMARY KEY,
    Location TEXT NOT NULL
);

-- Closed and open pictures per actuator type and fail action.
CREATE TABLE Act_Images (
    ID              INTEGER PRIMARY KEY,
    ActTypeID       INTEGER NOT NULL,       -- Act_Type.ID
    FailActionID    INTEGER NOT NULL,       -- Act_FailAction.ID
    ClosedPictureID INTEGER NOT NULL,       -- Act_Pictures.ID
    OpenPictureID   INTEGER NOT NULL        -- Act_Pictures.ID
);

-- Base seat loading in N/mm (a single row; the factors of the other tables scale it).
CREATE TABLE Act_SeatLoading (
    ID    INTEGER PRIMARY KEY,
    Value REAL NOT NULL
);

-- Base packing friction in N per mm of stem diameter (a single row).
CREATE TABLE Act_PackingFriction (
    ID    INTEGER PRIMARY KEY,
    Value REAL NOT NULL
);

-- Seat loading (SR) and packing friction (FR) factors per pressure rating; ID is PRating.ID.
CREATE TABLE Act_PRating (
    ID INTEGER PRIMARY KEY,
    SR REAL NOT NULL DEFAULT 1,
    FR REAL NOT NULL DEFAULT 1
);

-- Seat loading factor per temperature band; TempMin and TempMax in K.
CREATE TABLE Act_ST (
    ID      INTEGER PRIMARY KEY,
    TempMin REAL NOT NULL,
    TempMax REAL NOT NULL,
    Factor  REAL NOT NULL DEFAULT 1
);

-- Seat loading factor per valve size; ID is VlvSize.ID.
CREATE TABLE Act_VlvSize (
    ID INTEGER PRIMARY KEY,
    SS REAL NOT NULL DEFAULT 1
);

------------------------------------------------------------------------------------------
-- Data sheet options and prices.
------------------------------------------------------------------------------------------

-- Data sheet tabs ("Body", "Bonnet", ..., "Downstream Devices", "Other").
CREATE TABLE Spec_Pages (
    ID      INTEGER PRIMARY KEY,
    Display TEXT NOT NULL
);

-- Data sheet fields; Number names the item's "item<Number>" element. Rows of a tab in
-- the order the page shows them.
CREATE TABLE Spec_Fields (
    ID      INTEGER PRIMARY KEY,
    Number  INTEGER NOT NULL,
    Display TEXT NOT NULL
);

-- Options of each field on its tab, in list order. FileField names a column of the price
-- tables ("<none>" when the option does not affect the price). A Lookup row selects the
-- price row (FileField=Value, Value written into the query as it stands); any other row
-- adds a price line Display costing Value times the FileField column of that price row.
CREATE TABLE Spec_Options (
    ID        INTEGER PRIMARY KEY,
    FieldID   INTEGER NOT NULL,             -- Spec_Fields.ID
    PageID    INTEGER NOT NULL,             -- Spec_Pages.ID
    Item      TEXT,
    FileField TEXT NOT NULL DEFAULT '<none>',
    Value     REAL,
    Lookup    INTEGER NOT NULL DEFAULT 0,
    Display   TEXT
);
CREATE INDEX Spec_Options_Field ON Spec_Options (FieldID);

-- Face-to-face dimension per valve size, flange type and rating (texts as shown).
CREATE TABLE Spec_Face2face (
    ID      INTEGER PRIMARY KEY,
    VlvSize TEXT NOT NULL,
    Flange  TEXT NOT NULL,
    Rating  TEXT NOT NULL,
    Value   TEXT NOT NULL
);
CREATE UNIQUE INDEX Spec_Face2face_Key ON Spec_Face2face (VlvSize, Flange, Rating);

-- Valve price rows, one per size and rating. Every column but ID is named by a
-- Spec_Options.FileField: SizeID and RatingID are the lookup keys, the others the amounts (R)
-- that priced options multiply by their Value.
CREATE TABLE Spec_Prices (
    ID       INTEGER PRIMARY KEY,
    SizeID   INTEGER NOT NULL,              -- VlvSize.ID
    RatingID INTEGER NOT NULL,              -- PRating.ID
    Body     REAL NOT NULL,
    Bonnet   REAL NOT NULL,
    Balance  REAL NOT NULL,
    Flange   REAL NOT NULL,
    Guide    REAL NOT NULL,
    Packing  REAL NOT NULL,
    LiveLoad REAL NOT NULL,
    Trim     REAL NOT NULL,
    Fixed    REAL NOT NULL                  -- 1: options priced on it carry their own amount
);
CREATE UNIQUE INDEX Spec_Prices_Key ON Spec_Prices (SizeID, RatingID);

-- Downstream device (diffuser plate) price rows, one per device and material; columns
-- named by the FileField values of the "Downstream Devices" options: the lookup keys
-- DeviceID and MaterialID, then the price (R) of one plate per line size, P<DN>.
CREATE TABLE Spec_DiffuserPrices (
    ID         INTEGER PRIMARY KEY,
    DeviceID   INTEGER NOT NULL,
    MaterialID INTEGER NOT NULL,
    P15        REAL NOT NULL,
    P20        REAL NOT NULL,
    P25        REAL NOT NULL,
    P32        REAL NOT NULL,
    P40        REAL NOT NULL,
    P50        REAL NOT NULL,
    P65        REAL NOT NULL,
    P80        REAL NOT NULL,
    P100       REAL NOT NULL,
    P125       REAL NOT NULL,
    P150       REAL NOT NULL,
    P200       REAL NOT NULL,
    P250       REAL NOT NULL,
    P300       REAL NOT NULL,
    P350       REAL NOT NULL,
    P400       REAL NOT NULL,
    P450       REAL NOT NULL,
    P500       REAL NOT NULL,
    P600       REAL NOT NULL
);
CREATE UNIQUE INDEX Spec_DiffuserPrices_Key ON Spec_DiffuserPrices (DeviceID, MaterialID);

------------------------------------------------------------------------------------------
-- Engineering users: computers whose users see the engineering functions. A computer
-- listed more than once does not count.
------------------------------------------------------------------------------------------
CREATE TABLE EngUsers (
    ID       INTEGER PRIMARY KEY,
    computer TEXT NOT NULL
);
CREATE INDEX EngUsers_computer ON EngUsers (computer);
