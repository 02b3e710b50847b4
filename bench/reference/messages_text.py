#!/usr/bin/env python3
"""Writes every conversation of a backup's sms.db into DEST/<title>/conversation.txt, a line a
message ("2019-01-01 10:00 +01:00 +4915100000001: text"), in date order: the plain way to do the
text part of `salvora-cli messages BACKUP DEST`, the reference the benchmark times it against."""
import hashlib, os, sqlite3, sys, time

backup, destination = sys.argv[1], sys.argv[2]
key = hashlib.sha1(b"HomeDomain-Library/SMS/sms.db").hexdigest()
database = sqlite3.connect(f"file:{backup}/{key[:2]}/{key}?mode=ro&immutable=1", uri=True)

handles = dict(database.execute("SELECT ROWID, id FROM handle"))
members = {}
for chat, handle in database.execute(
        "SELECT chat_id, handle_id FROM chat_handle_join ORDER BY chat_id, handle_id"):
    members.setdefault(chat, []).append(handles.get(handle, ""))
titles = {}
for chat, name, identifier in database.execute(
        "SELECT ROWID, display_name, chat_identifier FROM chat"):
    titles[chat] = name or ", ".join(members.get(chat, [])) or identifier or "Unknown"


def local_date(nanoseconds):
    moment = time.localtime(nanoseconds // 1_000_000_000 + 978307200)
    offset = moment.tm_gmtoff // 60
    sign = "-" if offset < 0 else "+"
    return time.strftime("%Y-%m-%d %H:%M ", moment) + "%s%02d:%02d" % (
        sign, abs(offset) // 60, abs(offset) % 60)


os.makedirs(destination, exist_ok=True)
out, current, used = None, None, set()
for chat, date, from_me, handle, text in database.execute(
        "SELECT j.chat_id, m.date, m.is_from_me, m.handle_id, m.text FROM message m "
        "JOIN chat_message_join j ON j.message_id = m.ROWID ORDER BY j.chat_id, m.date"):
    if chat != current:
        if out:
            out.close()
        current = chat
        name = titles.get(chat, "Unknown").replace("/", "_")
        while name in used:
            name += " (2)"
        used.add(name)
        os.makedirs(os.path.join(destination, name))
        out = open(os.path.join(destination, name, "conversation.txt"), "w", encoding="utf-8")
    sender = "Me" if from_me else handles.get(handle, "Unknown")
    body = (text or "").replace("\r\n", " \u23ce ").replace("\n", " \u23ce ").replace("\r", " \u23ce ")
    out.write(f"{local_date(date)} {sender}: {body}\n")
if out:
    out.close()
