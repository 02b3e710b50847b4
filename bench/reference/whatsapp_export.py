#!/usr/bin/env python3
"""Writes every chat of a backup's WhatsApp ChatStorage.sqlite into DEST as `salvora-cli
whatsapp BACKUP DEST` does for messages of plain text: the plain way to do the whole export, the
reference the benchmark times it against."""
import sys

from conversation_export import write_export
from whatsapp_text import open_chat_storage, read_chats

database = open_chat_storage(sys.argv[1])
titles, members, sender_of, rows = read_chats(database)
participants = {}
for chat, jid, partner in database.execute(
        "SELECT Z_PK, ZCONTACTJID, ZPARTNERNAME FROM ZWACHATSESSION WHERE ZSESSIONTYPE = 0"):
    participants[chat] = [(titles[chat], partner)]
for member, chat in database.execute("SELECT Z_PK, ZCHATSESSION FROM ZWAGROUPMEMBER"):
    participants.setdefault(chat, []).append((members[member], members[member]))
rows = ((chat, seconds, from_me, sender_of(chat, member), text)
        for chat, seconds, from_me, member, text in rows)
write_export(sys.argv[2], rows, lambda chat: titles.get(chat, "Unknown"),
             lambda chat: participants.get(chat, []), "WhatsApp", "whatsapp.json", "WhatsApp")
