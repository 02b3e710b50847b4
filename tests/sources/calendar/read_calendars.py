#!/usr/bin/env python3
"""Prints as JSON what icalendar reads in an export of calendars: every file, every event, each
time also in UTC as the file's own VTIMEZONE gives it."""
import datetime
import json
import os
import sys

import icalendar


def when(prop, zones):
    value = prop.dt
    tzid = prop.params.get("TZID")
    if isinstance(value, datetime.datetime) and tzid:
        local = value.replace(tzinfo=None)
        utc = zones[tzid].localize(local).astimezone(datetime.timezone.utc)
        return {"zone": tzid, "local": local.isoformat(), "utc": utc.isoformat()}
    if isinstance(value, datetime.datetime) and value.tzinfo:
        return {"zone": "UTC", "utc": value.astimezone(datetime.timezone.utc).isoformat()}
    if isinstance(value, datetime.datetime):
        return {"zone": "floating", "local": value.isoformat()}
    return {"zone": "date", "local": value.isoformat()}


def event_of(event, zones):
    out = {"uid": str(event["UID"]), "summary": str(event.get("SUMMARY", "")),
           "dtstamp": "DTSTAMP" in event, "start": when(event["DTSTART"], zones),
           "end": when(event["DTEND"], zones)}
    for name in ("LOCATION", "DESCRIPTION", "URL"):
        if name in event:
            out[name.lower()] = str(event[name])
    if "GEO" in event:
        out["geo"] = [event["GEO"].latitude, event["GEO"].longitude]
    if "RRULE" in event:
        out["rrule"] = event["RRULE"].to_ical().decode()
    if "EXDATE" in event:
        dates = event["EXDATE"] if isinstance(event["EXDATE"], list) else [event["EXDATE"]]
        out["exdate"] = []
        for group in dates:
            for d in group.dts:
                prop = icalendar.prop.vDDDTypes(d.dt)
                prop.params = group.params
                out["exdate"].append(when(prop, zones))
    if "RECURRENCE-ID" in event:
        out["recurrence_id"] = when(event["RECURRENCE-ID"], zones)
    out["attendees"] = []
    for name in ("ORGANIZER", "ATTENDEE"):
        values = event.get(name, [])
        for value in values if isinstance(values, list) else [values]:
            out["attendees"].append([name, str(value), value.params.get("CN", ""),
                                     value.params.get("PARTSTAT", ""), value.params.get("ROLE", "")])
    out["alarms"] = [str(alarm["TRIGGER"].to_ical().decode()) for alarm in event.walk("VALARM")]
    return out


def calendar_of(path):
    with open(path, "rb") as file:
        data = file.read()
    if any(len(line) > 75 for line in data.split(b"\r\n")):
        raise SystemExit("a line longer than 75 octets in " + path)
    calendar = icalendar.Calendar.from_ical(data.decode("utf-8"))
    zones = {str(zone["TZID"]): zone.to_tz() for zone in calendar.walk("VTIMEZONE")}
    return {"name": str(calendar.get("X-WR-CALNAME", "")), "version": str(calendar["VERSION"]),
            "prodid": "PRODID" in calendar, "zones": sorted(zones),
            "events": [event_of(event, zones) for event in calendar.walk("VEVENT")]}


def main(folder):
    out = {name: calendar_of(os.path.join(folder, name))
           for name in sorted(os.listdir(folder)) if name.endswith(".ics")}
    json.dump(out, sys.stdout, ensure_ascii=False)


main(sys.argv[1])
