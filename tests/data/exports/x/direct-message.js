window.YTD.direct_message.part0 = [
  {
    "dmConversation" : {
      "conversationId" : "1100000001-3300000003",
      "messages" : [
        {
          "reactionCreate" : {
            "senderId" : "3300000003",
            "reactionKey" : "funny",
            "eventId" : "1100000000000000003",
            "createdAt" : "2019-06-19T08:20:11.402Z"
          }
        },
        {
          "messageCreate" : {
            "recipientId" : "3300000003",
            "text" : " https://t.co/Ab3dE5fGh7",
            "mediaUrls" : [ "https://ton.example.org/dm/1100000000000000003/1100000000000000004/kq9ZpXw2.jpg" ],
            "senderId" : "1100000001",
            "id" : "1100000000000000003",
            "createdAt" : "2019-06-19T08:17:45.000Z"
          }
        },
        {
          "messageCreate" : {
            "recipientId" : "3300000003",
            "reactions" : [ ],
            "urls" : [ ],
            "text" : "了解、また連絡します",
            "mediaUrls" : [ ],
            "senderId" : "1100000001",
            "id" : "1100000000000000002",
            "createdAt" : "2019-06-19T08:16:00.000Z"
          }
        },
        {
          "messageCreate" : {
            "recipientId" : "1100000001",
            "reactions" : [ ],
            "urls" : [ ],
            "text" : "来週の件、どうなった？",
            "mediaUrls" : [ ],
            "senderId" : "3300000003",
            "id" : "1100000000000000001",
            "createdAt" : "2019-06-19T08:15:30.123Z"
          }
        },
        {
          "reactionCreate" : {
            "senderId" : "1100000001",
            "reactionKey" : "agree",
            "eventId" : "1099999999999999990",
            "createdAt" : "2019-06-19T08:14:02.551Z"
          }
        }
      ]
    }
  }
]