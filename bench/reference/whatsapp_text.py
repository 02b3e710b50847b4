#!/usr/bin/env python3
"""Writes every chat of a backup's WhatsApp ChatStorage.sqlite into DEST/<name>/conversation.txt,
a line a message ("2019-01-01 10:00 +01:00 Friend 7: text"), in date order: the plain way to do
the text part of `salvora-cli whatsapp BACKUP DEST`, the reference the benchmark times it
against."""
import hashlib, sqlite3, sys

from conversation_text import write_conversations


def open_chat_storage(backup):
    key = hashlib.sha1(
        b"AppDomainGroup-group.net.whatsapp.WhatsApp.shared-ChatStorage.sqlite").hexdigest()
    return sqlite3.connect(f"file:{backup}/{key[:2]}/{key}?mode=ro&immutable=1", uri=True)


def read_chats(database):
    """The chats' titles, the group members' names by Z_PK, who a message is from by its chat
    and member, and the rows of every message: (chat, seconds since 2001, from me, member's
    Z_PK, text) by chat, then date."""
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
    return titles, members, sender_of, rows


if __name__ == "__main__":
    titles, members, sender_of, rows = read_chats(open_chat_storage(sys.argv[1]))
    write_conversations(sys.argv[2], rows, lambda chat: titles.get(chat, "Unknown"), sender_of)
