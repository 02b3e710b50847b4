#!/usr/bin/env python3
"""Writes every chat of a backup's WhatsApp ChatStorage.sqlite into DEST/<name>/conversation.txt,
a line a message ("2019-01-01 10:00 +01:00 Friend 7: text"), in date order: the plain way to do
the text part of `salvora-cli whatsapp BACKUP DEST`, the reference the benchmark times it
against."""
import hashlib, os, sqlite3, sys, time

backup, destination = sys.argv[1], sys.argv[2]
key = hashlib.sha1(b"AppDomainGroup-group.net.whatsapp.WhatsApp.shared-ChatStorage.sqlite").hexdigest()
database = sqlite3.connect(f"file:{backup}/{key[:2]}/{key}?mode=ro&immutable=1", uri=True)

titles = {}
for chat, jid, partner in database.execute(
        "SELECT Z_PK, ZCONTACTJID, ZPARTNERNAME FROM ZWACHATSESSION"):
    titles[chat] = partner or (jid or "").split("@")[0] or "Unknown"
members = {}
for member, jid, name in database.execute(
        "SELECT Z_PK, ZMEMBERJID, ZCONTACTNAME FROM ZWAGROUPMEMBER"):
    members[member] = name or "+" + (jid or "").split("@")[0]


def local_date(seconds):
    moment = time.localtime(int(seconds) + 978307200)
    offset = moment.tm_gmtoff // 60
    sign = "-" if offset < 0 else "+"
    return time.strftime("%Y-%m-%d %H:%M ", moment) + "%s%02d:%02d" % (
        sign, abs(offset) // 60, abs(offset) % 60)


os.makedirs(destination, exist_ok=True)
out, current, used = None, None, set()
for chat, date, from_me, member, text in database.execute(
        "SELECT ZCHATSESSION, ZMESSAGEDATE, ZISFROMME, ZGROUPMEMBER, ZTEXT FROM ZWAMESSAGE "
        "ORDER BY ZCHATSESSION, ZMESSAGEDATE"):
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
    if from_me:
        sender = "Me"
    elif member is not None:
        sender = members.get(member, "Unknown")
    else:
        sender = titles.get(chat, "Unknown")
    body = (text or "").replace("\r\n", " \u23ce ").replace("\n", " \u23ce ").replace("\r", " \u23ce ")
    out.write(f"{local_date(date)} {sender}: {body}\n")
if out:
    out.close()
