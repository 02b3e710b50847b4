#!/usr/bin/env python3
"""Writes every chat of a backup's WhatsApp ChatStorage.sqlite into DEST/<name>/conversation.txt,
a line a message ("2019-01-01 10:00 +01:00 Friend 7: text"), in date order: the plain way to do
the text part of `salvora-cli whatsapp BACKUP DEST`, the reference the benchmark times it
against."""
import hashlib, sqlite3, sys

from conversation_text import write_conversations

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


def sender_of(chat, member):
    if member is not None:
        return members.get(member, "Unknown")
    return titles.get(chat, "Unknown")


rows = database.execute(
    "SELECT ZCHATSESSION, ZMESSAGEDATE, ZISFROMME, ZGROUPMEMBER, ZTEXT FROM ZWAMESSAGE "
    "ORDER BY ZCHATSESSION, ZMESSAGEDATE")
write_conversations(destination, rows, lambda chat: titles.get(chat, "Unknown"), sender_of)
