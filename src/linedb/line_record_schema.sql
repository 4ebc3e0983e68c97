-- The line database of the ORLAX PRO set-up stations: one row per production
-- record line. orlaxctl and orlax-burner apply this themselves when their
-- role may create tables; a DBA who prefers to may apply it beforehand:
--   psql -d DATABASE -f line_record_schema.sql
-- Applying it again changes nothing.
BEGIN;
-- One station at a time makes or upgrades the schema.
SELECT pg_advisory_xact_lock(4242000001);

CREATE TABLE IF NOT EXISTS orlax_schema_version (
    version    integer PRIMARY KEY,
    applied_at timestamptz NOT NULL DEFAULT now()
);

CREATE TABLE IF NOT EXISTS production_record (
    record_id           uuid PRIMARY KEY,        -- made on the station
    record_number       integer NOT NULL,        -- the line's fields, in its order
    fixed_text          text NOT NULL,
    record_time         text NOT NULL,           -- HH:MM, the station's local time
    record_date         text NOT NULL,           -- MM\DD\YYYY, the station's local date
    expected_firmware   text NOT NULL,
    lex_version         integer NOT NULL,
    disks_printed       bigint NOT NULL,
    disks_picked        bigint NOT NULL,
    vertical_offset     integer NOT NULL,
    horizontal_offset   integer NOT NULL,
    left_bin            integer NOT NULL,
    recorder            integer NOT NULL,
    printer             integer NOT NULL,
    right_bin           integer NOT NULL,
    hook                integer NOT NULL,
    tray_out            integer NOT NULL,
    picker_switch       integer NOT NULL,
    arm_home            integer NOT NULL,
    last_disk_left      integer NOT NULL,
    last_disk_right     integer NOT NULL,
    tray_in_sensor_low  integer NOT NULL,
    tray_in_sensor_high integer NOT NULL,
    disk_in_sensor_low  integer NOT NULL,
    disk_in_sensor_high integer NOT NULL,
    recorded_at         timestamptz NOT NULL,    -- the same moment, as UTC
    station             text NOT NULL,           -- the station's host name
    queue               text NOT NULL,
    device_uri          text,                    -- when the spooler knows it
    serial              text,                    -- when the device URI gives it
    tool_version        text NOT NULL,
    status_record       bytea NOT NULL CHECK (octet_length(status_record) = 100),
    status_json         jsonb NOT NULL,
    received_at         timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX IF NOT EXISTS production_record_station_time ON production_record (station, recorded_at);
CREATE INDEX IF NOT EXISTS production_record_serial ON production_record (serial, recorded_at);

INSERT INTO orlax_schema_version (version) VALUES (1) ON CONFLICT DO NOTHING;
COMMIT;
