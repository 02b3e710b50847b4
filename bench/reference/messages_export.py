#!/usr/bin/env python3
"""Writes every conversation of a backup's sms.db into DEST as `salvora-cli messages BACKUP
DEST` does for messages of plain text: the plain way to do the whole export, the reference the
benchmark times it against."""
import sys

from conversation_export import write_export
from messages_text import read_sms

handles, members, titles, rows = read_sms(sys.argv[1])
rows = ((chat, seconds, from_me, handles.get(handle, "Unknown"), text)
        for chat, seconds, from_me, handle, text in rows)
write_export(sys.argv[2], rows, lambda chat: titles.get(chat, "Unknown"),
             lambda chat: [(handle, None) for handle in members.get(chat, [])], "iMessage",
             "messages.json", "Messages")
