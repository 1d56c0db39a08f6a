-- settings.sqlite: shipped empty beside the executable and copied into the data folder
-- on the first start. The program creates no tables in it.
-- Readers type a column by its declared type: text columns must be TEXT, flags INTEGER.
CREATE TABLE settings (
    name TEXT,
    value TEXT
);
CREATE TABLE reminders (
    text TEXT,
    reminder_type TEXT
);
CREATE TABLE applications_list (
    name TEXT,
    caption TEXT,
    active INTEGER
);
CREATE TABLE websites_list (
    name TEXT,
    caption TEXT,
    active INTEGER
);
